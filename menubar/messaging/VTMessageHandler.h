#pragma once

#include <QPointer>
#include <functional>
#include <optional>

#include "VTConnection.h"
#include "VTConnectionDelegate.h"
#include "VTLoggingObject.h"

class AppStateMessage;
class BackupStatsSummaryMessage;
class CommandTrayResponseMessage;
class CoreComputerTokenMessage;
class StatsMessage;
class StatusTrayMessage;
class VTApplicationController;
class VTVaultorState;

// Turns each frame the connection delivers into a message and applies it to the state,
// skipping documents that did not change, choosing between the current and the legacy
// protocol, and reacting to shutdown and to computers coming and going.
class VTMessageHandler : public VTLoggingObject, public VTConnectionDelegate {
    Q_OBJECT
  public:
    using QuitFunction = std::function<void(const QString& message)>;
    using OpenPageFunction = std::function<void(const QString& key, VTVaultorState* state)>;

    VTMessageHandler(VTApplicationController* mcp, VTVaultorState* state,
                     QObject* parent = nullptr);

    void messageReceived(const QByteArray& payload, qint16 msgID) override;

    VTConnection* connection() const { return connection_; }
    void setConnection(VTConnection* connection) { connection_ = connection; }
    VTVaultorState* state() const { return state_; }
    // The menu handler answers "isMenuOpen"; the menu controller takes
    // "resizeDetailsTextButtons". Either may be absent.
    QObject* menuHandler() const { return menuHandler_; }
    void setMenuHandler(QObject* handler) { menuHandler_ = handler; }
    QObject* menuController() const { return menuController_; }
    void setMenuController(QObject* controller) { menuController_ = controller; }

    // How the client quits and opens the account page; tests put recorders here.
    void setQuitFunction(QuitFunction quit) { quit_ = std::move(quit); }
    void setOpenPageFunction(OpenPageFunction open) { openPage_ = std::move(open); }

    qint64 statsMessageCount() const { return statsMessageCount_; }

  private:
    void dispatch(const QByteArray& payload, qint16 msgID);
    bool isMenuOpen() const;
    void VT_onMessageAppState(AppStateMessage& message);
    void VT_onMessageBackupStatsSummary(BackupStatsSummaryMessage& message);
    void VT_onMessageStats(StatsMessage& message);
    void VT_onMessageStatusTray(const StatusTrayMessage& message);
    void VT_onMessageCommandTrayResponse(const CommandTrayResponseMessage& message);
    void VT_setComputerIsConnected(const CoreComputerTokenMessage& message, bool connected);

    VTApplicationController* mcp_;
    QPointer<VTVaultorState> state_;
    QPointer<VTConnection> connection_;
    QPointer<QObject> menuHandler_;
    QPointer<QObject> menuController_;
    // The big documents are remembered as their UTF-8 bytes, half the size of their text;
    // equal bytes are equal texts.
    std::optional<QByteArray> lastAppStateMessageContent_;
    std::optional<QString> lastBackupStatsSummaryContent_;
    std::optional<QByteArray> lastStatsMessageContent_;
    bool checkedFullStatsSinceNotActive_ = false;
    qint64 statsMessageCount_ = 0;
    QuitFunction quit_;
    OpenPageFunction openPage_;
};
