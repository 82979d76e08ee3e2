#pragma once

#include <QPointer>
#include <QSet>
#include <QTcpSocket>
#include <optional>

#include "app/VTLoggingObject.h"
#include "messaging/VTConnectionDelegate.h"
#include "messaging/VTFrameReader.h"

class VTMessage;

// One TCP connection to the backup service: opens the socket, pre-registers as soon as it
// can write, announces each outgoing message type once per socket, cuts incoming bytes into
// frames for its delegate, and notices when registration completes. Frames are assembled
// from whatever bytes have arrived, so a stalling service never holds the event loop.
class VTConnection : public VTLoggingObject {
    Q_OBJECT
    Q_PROPERTY(bool isSocketConnected READ isSocketConnected NOTIFY isSocketConnectedChanged)
    Q_PROPERTY(bool isConnected READ isConnected WRITE setIsConnected NOTIFY isConnectedChanged)
    Q_PROPERTY(QString host READ host CONSTANT)
    Q_PROPERTY(qint64 port READ port CONSTANT)
    Q_PROPERTY(qint64 lastSeenSocketError READ lastSeenSocketError)
  public:
    // Settles host and port from the built-in settings, the endpoint file and `arguments`
    // (the process's command line by default).
    explicit VTConnection(qint16 registeredFlagMsgID, QObject* parent = nullptr,
                          const std::optional<QStringList>& arguments = std::nullopt);
    ~VTConnection() override;

    // Opens the socket unless it is up, with host and port settled afresh: the service may
    // have moved since this connection was made. True when it opened one.
    bool connect();
    void disconnect();

    // Re-checks the socket and updates the flag.
    bool isSocketConnected();
    bool isConnected() const { return isConnected_; }
    // Announced on every call, also when the value does not change.
    void setIsConnected(bool connected);

    bool sendMessage(const VTMessage& message);
    virtual bool registerWithVTS() = 0;
    virtual bool requestStatsUpdate() = 0;
    bool requestStatsUpdateLightweight();

    VTConnectionDelegate* delegate() const { return delegate_; }
    void setDelegate(VTConnectionDelegate* delegate);

    const QString& host() const { return host_; }
    qint64 port() const { return port_; }
    qint64 lastSeenSocketError() const { return lastSeenSocketError_; }
    qint16 registeredFlagMsgID() const { return registeredFlagMsgID_; }
    bool isAnnounced(qint16 msgID) const { return registeredMsgs_.contains(msgID); }

  signals:
    void isSocketConnectedChanged(bool isSocketConnected);
    void isConnectedChanged(bool isConnected);

  private:
    void onOpenCompleted();
    void onFirstSpaceAvailable();
    void onSocketError(QAbstractSocket::SocketError error);
    void settleEndpoint();

    bool VT_preRegister();
    bool VT_checkSocketConnection() const;
    void setIsSocketConnected(bool connected);
    void VT_handleError(qint64 code, const QString& description);
    void VT_receiveMsg();
    bool VT_registerMessage(const VTMessage& message);
    void VT_resetRegisteredMessages();
    bool VT_writeData(const QByteArray& data);

    VTConnectionDelegate* delegate_ = nullptr;
    bool isFirstHasBytesAvailableEvent_ = true;
    VTFrameReader frames_;
    std::optional<QStringList> arguments_;
    QString host_;
    qint64 port_ = 0;
    QPointer<QTcpSocket> socket_;
    bool isSocketConnected_ = false;
    bool isConnected_ = false;
    qint64 lastSeenSocketError_ = 0;
    const qint16 registeredFlagMsgID_;
    QSet<qint16> registeredMsgs_;
};
