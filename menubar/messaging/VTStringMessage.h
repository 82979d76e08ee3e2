#pragma once

#include <optional>

#include "VTMessage.h"

// A message whose payload is UTF-8 text.
class VTStringMessage : public VTMessage {
  public:
    VTStringMessage() = default;
    // Payload bytes that are not valid UTF-8 leave the text unset.
    static std::optional<QString> decodeUtf8(const QByteArray& payload);
    void initWithData(const QByteArray& payload) override { contentString_ = decodeUtf8(payload); }
    void initWithString(const QString& text) { contentString_ = text; }

    // The text, or a null QString when the payload was not UTF-8.
    QString contentString() const { return contentString_.value_or(QString()); }
    bool hasContentString() const { return contentString_.has_value(); }

    QByteArray VT_msgData() const override { return contentString().toUtf8(); }
    QString description() const override;

  private:
    std::optional<QString> contentString_;
};
