#include "messaging/VTConnection.h"

#include <QCoreApplication>

#include "app/VTUIInfo.h"
#include "messaging/GetBackupStatsSummaryMessage.h"
#include "messaging/SetMessageTypeMessage.h"
#include "messaging/StatusQueryMessage.h"
#include "messaging/VTClassMessage.h"
#include "messaging/VTEndpoint.h"

namespace {

// Reads and writes move at most this much per socket call.
constexpr qint64 kChunkSize = 16384;

}  // namespace

VTConnection::VTConnection(qint16 registeredFlagMsgID, QObject* parent,
                           const std::optional<QStringList>& arguments)
    : VTLoggingObject(parent), arguments_(arguments), registeredFlagMsgID_(registeredFlagMsgID) {
    settleEndpoint();
    VT_resetRegisteredMessages();
}

void VTConnection::settleEndpoint() {
    const VTEndpoint endpoint =
        VTEndpoint::settle(arguments_.value_or(QCoreApplication::arguments()), *log());
    host_ = endpoint.host;
    port_ = endpoint.port;
}

VTConnection::~VTConnection() {
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
        delete socket_;
    }
}

bool VTConnection::connect() {
    if (isSocketConnected()) {
        return false;
    }
    settleEndpoint();
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
        socket_->deleteLater();
    }
    socket_ = new QTcpSocket(this);
    QObject::connect(socket_, &QTcpSocket::connected, this, [this] {
        onOpenCompleted();
        onFirstSpaceAvailable();
    });
    QObject::connect(socket_, &QTcpSocket::readyRead, this, &VTConnection::VT_receiveMsg);
    QObject::connect(socket_, &QTcpSocket::errorOccurred, this, &VTConnection::onSocketError);
    QObject::connect(socket_, &QTcpSocket::disconnected, this, &VTConnection::disconnect);
    // The socket takes the port as an unsigned 16-bit number; the settled value is wider.
    socket_->connectToHost(host_, static_cast<quint16>(static_cast<quint32>(port_)));
    return true;
}

void VTConnection::disconnect() {
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
        socket_->deleteLater();
        socket_ = nullptr;
    }
    frames_.reset();
    isFirstHasBytesAvailableEvent_ = true;
    setIsSocketConnected(false);
    setIsConnected(false);
}

bool VTConnection::VT_checkSocketConnection() const {
    if (!socket_) {
        return false;
    }
    switch (socket_->state()) {
        case QAbstractSocket::HostLookupState:
        case QAbstractSocket::ConnectingState:
        case QAbstractSocket::ConnectedState:
            return true;
        default:
            return false;
    }
}

bool VTConnection::isSocketConnected() {
    const bool up = VT_checkSocketConnection();
    if (up != isSocketConnected_) {
        setIsSocketConnected(up);
    }
    return isSocketConnected_;
}

void VTConnection::setIsSocketConnected(bool connected) {
    const bool changed = connected != isSocketConnected_;
    isSocketConnected_ = connected;
    if (changed) {
        emit isSocketConnectedChanged(connected);
    }
}

void VTConnection::setIsConnected(bool connected) {
    isConnected_ = connected;
    emit isConnectedChanged(connected);
}

void VTConnection::setDelegate(VTConnectionDelegate* delegate) {
    log()->fine(QStringLiteral("changing delegates..."));
    delegate_ = delegate;
}

void VTConnection::onOpenCompleted() {
    VT_resetRegisteredMessages();
}

void VTConnection::onFirstSpaceAvailable() {
    if (!isFirstHasBytesAvailableEvent_) {
        return;
    }
    isFirstHasBytesAvailableEvent_ = false;
    setIsSocketConnected(true);
    VT_preRegister();
}

void VTConnection::onSocketError(QAbstractSocket::SocketError error) {
    if (error == QAbstractSocket::RemoteHostClosedError) {
        // The end of the stream: the service went away or closed on purpose, nothing broke.
        log()->repeating(VTLogger::Info, QStringLiteral("The service closed the connection."));
        disconnect();
        return;
    }
    VT_handleError(static_cast<qint64>(error),
                   socket_ ? socket_->errorString() : QStringLiteral("socket is gone"));
}

void VTConnection::VT_resetRegisteredMessages() {
    registeredMsgs_.clear();
    registeredMsgs_.insert(VTClassMessage::kMessageID);
}

bool VTConnection::VT_preRegister() {
    if (!sendMessage(SetMessageTypeMessage::msgWithName(SetMessageTypeMessage::kTrayInterface))) {
        return false;
    }
    const auto token = VTUIInfo::sharedInstance()->token();
    if (!token) {
        log()->repeating(VTLogger::Severe,
                         QStringLiteral("Could not find VTS token in .ui_info. Aborting."));
        return false;
    }
    // The token is a secret: the log shows that one was found, never the token itself.
    log()->repeating(VTLogger::Info, QStringLiteral("Starting VT_preRegister with token : ") +
                                         (token->isEmpty() ? QStringLiteral("(empty)")
                                                           : QStringLiteral("********")));
    return sendMessage(StatusQueryMessage(*token));
}

bool VTConnection::sendMessage(const VTMessage& message) {
    if (!isSocketConnected()) {
        return false;
    }
    if (!registeredMsgs_.contains(message.messageID()) && !VT_registerMessage(message)) {
        return false;
    }
    return VT_writeData(message.dataValue());
}

bool VTConnection::VT_registerMessage(const VTMessage& message) {
    const bool sent = sendMessage(VTClassMessage(message));
    if (sent) {
        registeredMsgs_.insert(message.messageID());
    }
    return sent;
}

bool VTConnection::VT_writeData(const QByteArray& data) {
    qint64 offset = 0;
    while (offset < data.size()) {
        if (!isSocketConnected()) {
            return false;
        }
        // Until the socket has connected there is no room to write into.
        if (socket_->state() != QAbstractSocket::ConnectedState) {
            return false;
        }
        const qint64 length = std::min(kChunkSize, data.size() - offset);
        const qint64 written = socket_->write(data.constData() + offset, length);
        if (written < 0) {
            VT_handleError(static_cast<qint64>(socket_->error()), socket_->errorString());
            return false;
        }
        offset += written;
    }
    return true;
}

void VTConnection::VT_receiveMsg() {
    // Deliver every frame that is complete; keep a partial one for the next arrival. The
    // delegate may replace or close this connection while handling a frame.
    QPointer<VTConnection> alive(this);
    while (alive && socket_) {
        const VTFrameReader::Step step = frames_.next(*socket_);
        switch (step.kind) {
            case VTFrameReader::Step::NeedMore:
                return;
            case VTFrameReader::Step::HeaderRead:
                // Registration completes with the flag message's header, before its payload.
                if (!isConnected_ && step.header.msgID() == registeredFlagMsgID_) {
                    setIsConnected(true);
                }
                break;
            case VTFrameReader::Step::HeaderRefused:
                log()->repeatingWithFormat(
                    VTLogger::Warning,
                    "Refusing a frame of type %d announcing %d payload bytes; closing the "
                    "connection.",
                    step.header.msgID(), step.header.msgLength());
                disconnect();
                return;
            case VTFrameReader::Step::Broken:
                // The socket announced bytes it then could not hand over: the stream is
                // broken, and waiting on it would spin for ever.
                VT_handleError(static_cast<qint64>(socket_->error()), socket_->errorString());
                disconnect();
                return;
            case VTFrameReader::Step::FrameRead:
                if (delegate_) {
                    delegate_->messageReceived(step.payload, step.header.msgID());
                }
                break;
        }
    }
}

void VTConnection::VT_handleError(qint64 code, const QString& description) {
    lastSeenSocketError_ = code;
    log()->repeating(VTLogger::Warning,
                     QStringLiteral("Stream error occurred: %1\nError description: %2")
                         .arg(QStringLiteral("Error code: %1").arg(code), description));
    if (!isSocketConnected()) {
        disconnect();
    }
}

bool VTConnection::requestStatsUpdateLightweight() {
    return isConnected_ && sendMessage(GetBackupStatsSummaryMessage());
}
