#include "ui/menu/VTStatusItemMenuHandler.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include "app/VTDesktopServices.h"
#include "app/VTUtils.h"
#include "messaging/VTVTSController.h"
#include "model/VTDestination.h"
#include "model/VTDestinationStats.h"
#include "model/VTVaultorState.h"

VTStatusItemMenuHandler::VTStatusItemMenuHandler(QObject* parent)
    : VTMenuHandler(parent),
      clock_([] { return QDateTime::currentSecsSinceEpoch(); }),
      desktopAppPaths_(defaultDesktopAppPaths()) {}

QStringList VTStatusItemMenuHandler::defaultDesktopAppPaths() {
    return {QDir::homePath() + QStringLiteral("/.local/opt/vaultor/bin/Vaultor"),
            QStringLiteral("/opt/vaultor/bin/Vaultor")};
}

void VTStatusItemMenuHandler::addMenu(QMenu* menu) {
    QObject::connect(menu, &QMenu::aboutToShow, this, [this] { setIsMenuOpen(true); });
    QObject::connect(menu, &QMenu::aboutToHide, this, [this] { setIsMenuOpen(false); });
}

void VTStatusItemMenuHandler::setIsMenuOpen(bool open) {
    isMenuOpen_ = open;
    emit isMenuOpenChanged(open);
}

void VTStatusItemMenuHandler::pauseService(qint64 minutes) {
    if (vtsController_) {
        vtsController_->pauseService(minutes);
    }
}

void VTStatusItemMenuHandler::resumeService() {
    if (vtsController_) {
        vtsController_->resumeService();
    }
}

void VTStatusItemMenuHandler::playPauseComputerToggled(qint64 guid) {
    if (!state_ || !vtsController_) {
        return;
    }
    const VTDestinationStats* stats = nullptr;
    for (const VTDestination* destination : state_->destinations()) {
        if (destination->GUID() == guid) {
            stats = destination->stats();
            break;
        }
    }
    if (!stats) {
        return;
    }
    if (stats->isPaused()) {
        log()->info(QStringLiteral("Resuming %1").arg(guid));
        vtsController_->resumeDestination(guid);
    } else if (stats->isConnected() && !stats->isBackingUp()) {
        log()->info(QStringLiteral("Selecting %1 for backup").arg(guid));
        vtsController_->resumeDestination(guid);
    } else if (stats->isBackingUp()) {
        log()->info(QStringLiteral("Pausing %1").arg(guid));
        vtsController_->pauseDestination(guid, 1440);
    }
}

void VTStatusItemMenuHandler::requestOpenManageAccountPage() {
    const qint64 holdOff =
        VTUtils::integerFromDefaultPlist(QStringLiteral("kManageAccountPageHoldoffInterval"));
    const qint64 now = clock_();
    if (static_cast<double>(now) > lastWebLoginRequestTime_ + static_cast<double>(holdOff)) {
        if (vtsController_) {
            vtsController_->requestManageAccountPageKey();
        }
        lastWebLoginRequestTime_ = static_cast<double>(now);
    }
}

void VTStatusItemMenuHandler::showDesktopApp() {
    VTDesktopServices* desktop = VTUtils::desktopServices();
    for (const QString& path : desktopAppPaths_) {
        if (desktop && QFileInfo(path).isExecutable() && desktop->launchApplication(path)) {
            QString shown = path;
            if (shown.startsWith(QDir::homePath() + QLatin1Char('/'))) {
                shown.replace(0, QDir::homePath().size(), QStringLiteral("~"));
            }
            log()->info(QStringLiteral("Launched %1 from menu bar.").arg(shown));
            return;
        }
    }
    log()->warning(QStringLiteral("Could not launch VTD; was the app renamed or moved?"));
}

void VTStatusItemMenuHandler::showPreferences() {
    if (showPreferences_) {
        showPreferences_();
    }
}

void VTStatusItemMenuHandler::quitApp() {
    VTUtils::zedQuit();
}
