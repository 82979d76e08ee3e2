#pragma once

#include <QPointer>
#include <functional>
#include <optional>

#include "app/VTLoggingObject.h"
#include "app/VTMenuHandler.h"
#include "messaging/VTConnection.h"
#include "messaging/VTConnectionDelegate.h"
#include "messaging/VTIncomingMessageHandler.h"

class CoreComputerTokenMessage;
class VTApplicationController;
class VTStatusMenu;
class VTVaultorState;

// Turns each frame the connection delivers into a message and applies it to the state,
// skipping documents that did not change, choosing between the current and the legacy
// protocol, and reacting to shutdown and to computers coming and going.
class VTMessageHandler : public VTLoggingObject,
                         public VTConnectionDelegate,
                         private VTIncomingMessageHandler {
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
    // The menu handler tells whether the menu is open; the menu controller fits its rows after
    // each statistics update. Either may be absent.
    VTMenuHandler* menuHandler() const { return menuHandler_; }
    void setMenuHandler(VTMenuHandler* handler) { menuHandler_ = handler; }
    VTStatusMenu* menuController() const { return menuController_; }
    void setMenuController(VTStatusMenu* controller) { menuController_ = controller; }

    // How the client quits and opens the account page; tests put recorders here.
    void setQuitFunction(QuitFunction quit) { quit_ = std::move(quit); }
    void setOpenPageFunction(OpenPageFunction open) { openPage_ = std::move(open); }

    qint64 statsMessageCount() const { return statsMessageCount_; }

  private:
    void dispatch(const QByteArray& payload, qint16 msgID);
    bool isMenuOpen() const;
    // VTIncomingMessageHandler: the computer list and the pop-up request are not acted on.
    void handle(AlertCountMessage& message) override;
    void handle(AppStateMessage& message) override;
    void handle(BackupStatsSummaryMessage& message) override;
    void handle(CommandTrayResponseMessage& message) override;
    void handle(ComputerConnectedMessage& message) override;
    void handle(ComputerDisconnectedMessage& message) override;
    void handle(ShutdownMessage& message) override;
    void handle(StatsMessage& message) override;
    void handle(StatusTrayMessage& message) override;
    void handle(WebLoginKeyTrayResponseMessage& message) override;
    void VT_setComputerIsConnected(const CoreComputerTokenMessage& message, bool connected);

    VTApplicationController* mcp_;
    QPointer<VTVaultorState> state_;
    QPointer<VTConnection> connection_;
    QPointer<VTMenuHandler> menuHandler_;
    VTStatusMenu* menuController_ = nullptr;
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
