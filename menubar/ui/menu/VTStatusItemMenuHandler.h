#pragma once

#include <QPointer>
#include <functional>

#include "app/VTMenuHandler.h"
#include "messaging/VTVTSController.h"
#include "model/VTVaultorState.h"

class QMenu;

// The status panel's delegate and the target of its actions: pausing and resuming, one
// destination's play/pause, the account page (held off for the information list's interval),
// the desktop application, preferences and quitting. isMenuOpen is true from the panel's
// showing to its hiding.
class VTStatusItemMenuHandler : public VTMenuHandler {
    Q_OBJECT
  public:
    using Clock = std::function<qint64()>;
    using Action = std::function<void()>;

    explicit VTStatusItemMenuHandler(QObject* parent = nullptr);

    // The panel whose showing and hiding set isMenuOpen; one or more (panel and context menu).
    void addMenu(QMenu* menu);
    VTVTSController* vtsController() const { return vtsController_; }
    void setVtsController(VTVTSController* controller) { vtsController_ = controller; }
    VTVaultorState* state() const { return state_; }
    void setState(VTVaultorState* state) { state_ = state; }
    // What the preferences item opens.
    void setShowPreferences(Action show) { showPreferences_ = std::move(show); }
    // Whole seconds since 1970; tests set their own.
    void setClock(Clock clock) { clock_ = std::move(clock); }
    // Where the desktop application is looked for, in order; tests set their own.
    void setDesktopAppPaths(const QStringList& paths) { desktopAppPaths_ = paths; }
    static QStringList defaultDesktopAppPaths();

    bool isMenuOpen() const override { return isMenuOpen_; }
    void setIsMenuOpen(bool open);
    double lastWebLoginRequestTime() const { return lastWebLoginRequestTime_; }

    void pauseService(qint64 minutes);
    void resumeService();
    void playPauseComputerToggled(qint64 guid) override;
    void requestOpenManageAccountPage();
    void showDesktopApp();
    void showPreferences();
    void quitApp();

  private:
    QPointer<VTVTSController> vtsController_;
    QPointer<VTVaultorState> state_;
    bool isMenuOpen_ = false;
    double lastWebLoginRequestTime_ = 0;
    Clock clock_;
    QStringList desktopAppPaths_;
    Action showPreferences_;
};
