#pragma once

#include <QByteArray>
#include <QString>

// Every message type names its ID and wire class name once, so that the ID is known from
// the class alone (`Type::kMessageID`) as well as from an instance.
#define VT_MESSAGE_TYPE(Type, id)              \
  public:                                      \
    static constexpr qint16 kMessageID = (id); \
    static QString staticClassName() {         \
        return QStringLiteral(#Type);          \
    }                                          \
    qint16 messageID() const override {        \
        return kMessageID;                     \
    }                                          \
    QString className() const override {       \
        return staticClassName();              \
    }                                          \
                                               \
  private:

// Base of every message: identity and framing. The base type has ID 0 and no payload.
class VTMessage {
  public:
    static constexpr qint16 kMessageID = 0;
    static constexpr const char* kClassNamePrefix = "com.keepery.service.ui.message.";

    virtual ~VTMessage() = default;

    // The low 16 bits of a type's 64-bit constant, read as a signed ID.
    static constexpr qint16 toShort(quint64 constant) {
        return static_cast<qint16>(static_cast<quint16>(constant & 0xFFFFu));
    }

    virtual qint16 messageID() const { return kMessageID; }
    // The type's own class name as the service spells it.
    virtual QString className() const { return QStringLiteral("VTMessage"); }
    QString messageClassName() const { return QLatin1String(kClassNamePrefix) + className(); }

    // Fills the message from received payload bytes; the base type has none to read.
    virtual void initWithData(const QByteArray& payload) { (void)payload; }

    // The payload bytes.
    virtual QByteArray VT_msgData() const { return {}; }
    // The whole frame: header, then payload.
    QByteArray dataValue() const;

    virtual QString description() const;

  protected:
    // "<ClassName: 0x...>", the object's identification in log lines.
    QString identification() const;
};
