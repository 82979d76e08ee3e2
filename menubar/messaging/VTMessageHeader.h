#pragma once

#include <QByteArray>
#include <QtGlobal>

// The six bytes in front of every frame: a big-endian signed 16-bit message ID and a
// big-endian signed 32-bit payload length.
class VTMessageHeader {
  public:
    static constexpr int kSize = 6;
    // Larger payloads are refused rather than allocated: far above any real document
    // (a large account's statistics are a few megabytes) and far below the 2 GiB the field
    // could announce.
    static constexpr qint32 kMaximumPayloadLength = 64 * 1024 * 1024;

    VTMessageHeader() = default;
    VTMessageHeader(qint16 msgID, qint32 msgLength) : msgID_(msgID), msgLength_(msgLength) {}

    // Reads the first six bytes; fewer bytes give an invalid header (length -1).
    static VTMessageHeader headerWithData(const QByteArray& data);
    // The length is stored as its low 32 bits, as the wire field holds it.
    static VTMessageHeader headerWithID(qint16 msgID, quint64 length);

    QByteArray dataValue() const;

    qint16 msgID() const { return msgID_; }
    void setMsgID(qint16 msgID) { msgID_ = msgID; }
    qint32 msgLength() const { return msgLength_; }
    void setMsgLength(qint32 msgLength) { msgLength_ = msgLength; }

    // A header whose payload may be read: length 0 to kMaximumPayloadLength.
    bool isValid() const { return msgLength_ >= 0 && msgLength_ <= kMaximumPayloadLength; }

  private:
    qint16 msgID_ = 0;
    qint32 msgLength_ = 0;
};
