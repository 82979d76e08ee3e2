#pragma once

#include <QPointer>
#include <QString>

#include "app/VTLoggingObject.h"
#include "app/VTMenuHandler.h"
#include "messaging/VTApplicationController.h"
#include "messaging/VTConnection.h"
#include "messaging/VTConnectionControllerDelegate.h"

class VTConnectionController;
class VTLaunchOnLoginSetting;
class VTStatusIcon;
class VTStatusMenu;
class VTMessageHandler;
class VTStatsRequestor;
class VTVTSController;
class VTVaultorState;

// The hub of the client: hands each new service connection to the collaborators that need
// it, reacts when the connection becomes usable or is lost, keeps the one problem line of
// the status menu, switches to the legacy protocol when told, and switches stats polling
// between its menu-closed and menu-open modes. The icon, menu and preferences controllers
// and the menu handler are optional: while one is absent, every call to it is skipped.
class MasterControlProgram : public VTLoggingObject,
                             public VTConnectionControllerDelegate,
                             public VTApplicationController {
    Q_OBJECT
    Q_PROPERTY(
        VTConnection* connection READ connection WRITE setConnection NOTIFY connectionChanged)
    Q_PROPERTY(
        VTMenuHandler* menuHandler READ menuHandler WRITE setMenuHandler NOTIFY menuHandlerChanged)
    Q_PROPERTY(QString problemText READ problemText NOTIFY problemChanged)
    Q_PROPERTY(bool problemVisible READ problemVisible NOTIFY problemChanged)
  public:
    struct Collaborators {
        VTConnectionController* connectionController = nullptr;
        VTMessageHandler* messageHandler = nullptr;
        VTVTSController* vtsController = nullptr;
        VTVaultorState* state = nullptr;
        VTStatsRequestor* statsRequestor = nullptr;
        VTStatusIcon* iconController = nullptr;
        VTStatusMenu* menuController = nullptr;
        VTLaunchOnLoginSetting* prefsController = nullptr;
    };

    // From this many consecutive failed checks on, the problem line says so.
    static constexpr qint64 kChecksBeforeUnableToConnect = 3;

    explicit MasterControlProgram(const Collaborators& collaborators, QObject* parent = nullptr);

    // Lowers the process priority and registers "LaunchOnLogin"; runs once per process.
    static void initialize();
    static QString msgMenuConnectingToService();
    static QString msgUnableToConnect();
    static QString msgNoDestinationsConfigured();

    void awakeFromNib();
    void startApp();
    void onConnected();
    void playPauseComputer(qint64 guid);

    // VTConnectionControllerDelegate
    void willCreateNewConnection() override;
    void newConnectionCreated(VTConnection* connection) override;
    void onUnableToConnect(qint64 attempts) override;
    // VTApplicationController
    void onDestinationsChanged(quint64 count) override;
    void switchToLegacyMessaging() override;

    VTConnection* connection() const { return connection_; }
    void setConnection(VTConnection* connection);
    VTMenuHandler* menuHandler() const { return menuHandler_; }
    void setMenuHandler(VTMenuHandler* handler);
    VTVaultorState* state() const { return state_; }
    // The handler is made after the controller, which it needs to know.
    void setMessageHandler(VTMessageHandler* handler) { messageHandler_ = handler; }

    // The problem item of the status menu: its text and whether it shows.
    const QString& problemText() const { return problemText_; }
    bool problemVisible() const { return problemVisible_; }

  signals:
    void connectionChanged(VTConnection* connection);
    void menuHandlerChanged();
    void problemChanged();

  private:
    void VT_onConnectionClosed();
    void VT_rebindConnection();
    void VT_menuOpenStateToggled();
    void VT_HACK_forceUpdateIsActive();
    void connectionIsConnectedChanged(bool connected);
    void showProblem(const QString& text);
    void hideProblem();

    VTConnectionController* connectionController_;
    VTStatusIcon* iconController_;
    VTStatusMenu* menuController_;
    VTMessageHandler* messageHandler_;
    VTLaunchOnLoginSetting* prefsController_;
    VTVTSController* vtsController_;
    VTVaultorState* state_;
    VTStatsRequestor* statsRequestor_;
    QPointer<VTMenuHandler> menuHandler_;
    QPointer<VTConnection> connection_;
    QMetaObject::Connection menuHandlerObservation_;
    QMetaObject::Connection connectionObservation_;
    QMetaObject::Connection stateBinding_;
    // The last value the current connection announced for isConnected.
    bool connectionRegistered_ = false;
    QString problemText_;
    bool problemVisible_ = false;
};
