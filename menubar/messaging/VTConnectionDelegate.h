#pragma once

#include <QByteArray>

// Receives every complete frame of a connection, on the main thread.
class VTConnectionDelegate {
  public:
    virtual ~VTConnectionDelegate() = default;
    virtual void messageReceived(const QByteArray& payload, qint16 msgID) = 0;
};
