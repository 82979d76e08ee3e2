#pragma once

#include <QMutex>
#include <optional>

#include "messaging/VTMessage.h"

// A message whose payload is UTF-8 text. Received bytes are checked at once and decoded to a
// QString only when the text is asked for: statistics documents are read from their bytes and
// would otherwise carry a text twice their size that nobody reads.
class VTStringMessage : public VTMessage {
  public:
    VTStringMessage() = default;
    // Copies carry the text, decoded or not, and a lock of their own.
    VTStringMessage(const VTStringMessage& other);
    VTStringMessage& operator=(const VTStringMessage& other);
    // Payload bytes that are not valid UTF-8 leave the text unset.
    static std::optional<QString> decodeUtf8(const QByteArray& payload);
    void initWithData(const QByteArray& payload) override;
    void initWithString(const QString& text);

    // The text, or a null QString when the payload was not UTF-8.
    QString contentString() const;
    bool hasContentString() const { return hasContent_; }
    // The text in UTF-8: the received bytes themselves when there are some (without a leading
    // byte order mark, as the text has none).
    QByteArray contentUtf8() const;

    QByteArray VT_msgData() const override { return contentString().toUtf8(); }
    QString description() const override;

  private:
    bool hasContent_ = false;
    // The received bytes (valid UTF-8), or null for a text given as a string.
    QByteArray payload_;
    mutable QMutex contentLock_;
    mutable std::optional<QString> contentString_;
};
