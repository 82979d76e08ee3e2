#pragma once

#include <optional>

#include "VTMessage.h"

// A message whose payload is UTF-8 text.
class VTStringMessage : public VTMessage {
  public:
    VTStringMessage() = default;
    // Payload bytes that are not valid UTF-8 leave the text unset.
    static std::optional<QString> decodeUtf8(const QByteArray& payload);
    void initWithData(const QByteArray& payload) override;
    void initWithString(const QString& text);

    // The text, or a null QString when the payload was not UTF-8.
    QString contentString() const { return contentString_.value_or(QString()); }
    bool hasContentString() const { return contentString_.has_value(); }
    // The text in UTF-8: the received bytes themselves when there are some (without a leading
    // byte order mark, as the text has none).
    QByteArray contentUtf8() const;

    QByteArray VT_msgData() const override { return contentString().toUtf8(); }
    QString description() const override;

  private:
    std::optional<QString> contentString_;
    QByteArray payload_;
};
