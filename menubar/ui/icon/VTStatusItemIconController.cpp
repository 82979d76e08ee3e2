#include "ui/icon/VTStatusItemIconController.h"

#include <QMenu>
#include <QSystemTrayIcon>

#include "app/VTUtils.h"
#include "model/VTModelTypes.h"
#include "model/VTVaultorState.h"
#include "platform/VTUserDefaults.h"
#include "ui/VTImages.h"
#include "ui/icon/VTStatusItemIconView.h"

namespace {

const QString kThemeKey = QStringLiteral("VTDefaultsKeyIconThemeName");

bool sameImage(const QImage& a, const QImage& b) {
    return a.cacheKey() == b.cacheKey();
}

bool sameFrames(const QList<QImage>& a, const QList<QImage>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), sameImage);
}

}  // namespace

VTStatusItemIconController::VTStatusItemIconController(QObject* parent) : VTLoggingObject(parent) {
    animTimer_.setInterval(kAnimationIntervalMs);
    QObject::connect(&animTimer_, &QTimer::timeout, this, [this] { VT_updateIconImage(); });
}

void VTStatusItemIconController::awakeFromNib() {
    lastSetFrame_.reset();
    viewRect_ = customView_ ? customView_->iconRect() : QRectF();
    iconRect_ = viewRect_;
    iconRect_.moveTopLeft(QPointF(4.0, 3.0));

    VT_loadIcons();
    statusItem_ = new QSystemTrayIcon(this);
    statusItem_->setToolTip(
        VTUtils::stringFromDefaultPlist(QStringLiteral("kDefaultAppName")).toString());
    if (contextMenu_) {
        statusItem_->setContextMenu(contextMenu_);
    }
    if (customView_) {
        customView_->setMenu(menu_);
        customView_->setStatusItem(statusItem_);
    }
    updateIcon();
    // Shown even while no tray exists yet (the desktop's panel often starts after the client):
    // the icon docks as soon as a tray appears.
    statusItem_->show();

    VT_startAnimationTimer();
    if (state_) {
        QObject::connect(state_, &VTVaultorState::lastUpdatedChanged, this,
                         [this] { updateIcon(); });
    }
    updateIcon();
    VT_updateIconImage();
    QObject::connect(VTUtils::userDefaults(), &VTUserDefaults::valueChanged, this,
                     &VTStatusItemIconController::VT_themeChanged);
}

void VTStatusItemIconController::VT_loadIcons() {
    iconClickedImage_ = VTImages::imageFromResourceName(QStringLiteral("vt_icon_clicked"));
    iconStatusSafe_ = VTImages::imageFromResourceName(QStringLiteral("vt_status_safe"));
    iconStatusSafeAlert_ = VTImages::imageFromResourceName(QStringLiteral("vt_status_safe_alert"));
    iconStatusWarning_ = VTImages::imageFromResourceName(QStringLiteral("vt_status_warning"));
    iconStatusWarningAlert_ =
        VTImages::imageFromResourceName(QStringLiteral("vt_status_warning_alert"));
    iconStatusSevere_ = VTImages::imageFromResourceName(QStringLiteral("vt_status_severe"));
    iconStatusSevereAlert_ =
        VTImages::imageFromResourceName(QStringLiteral("vt_status_severe_alert"));
    iconStatusGray_ = VTImages::imageFromResourceName(QStringLiteral("vt_status_gray"));
    iconStatusPaused_ = VTImages::imageFromResourceName(QStringLiteral("vt_status_paused"));
    iconStatusComplete_ = VTImages::imageFromResourceName(QStringLiteral("vt_status_complete"));
    iconStatusCompleteAlert_ =
        VTImages::imageFromResourceName(QStringLiteral("vt_status_complete_alert"));

    outboundFrames_.clear();
    for (int i = 0;; ++i) {
        const QImage frame =
            VTImages::imageFromResourceName(QStringLiteral("vt_status_active_anim%1").arg(i));
        if (frame.isNull()) {
            break;
        }
        outboundFrames_.append(frame);
    }
    // A theme without any animation frame shows its safe image while data moves.
    if (outboundFrames_.isEmpty()) {
        outboundFrames_.append(iconStatusSafe_);
    }
    inboundFrames_ = QList<QImage>(outboundFrames_.rbegin(), outboundFrames_.rend());
    restoreFrames_ = inboundFrames_;
}

bool VTStatusItemIconController::VT_serviceGrayState() const {
    return !state_ || state_->isStarting() || !state_->isConnected() || state_->isUpgrading();
}

QList<QImage> VTStatusItemIconController::VT_getStatusIcons() const {
    QList<QImage> frames;
    if (VT_serviceGrayState()) {
        frames = {iconStatusGray_};
    } else if (state_->isPaused()) {
        frames = {iconStatusPaused_};
    } else if (state_->isRestoring()) {
        frames = restoreFrames_;
    } else if (state_->isSending()) {
        frames = outboundFrames_;
    } else if (state_->isReceiving()) {
        frames = inboundFrames_;
    } else {
        switch (state_->backupStatus()) {
            case VTBackupStatusSafe:
                frames = {iconStatusSafe_};
                break;
            case VTBackupStatusWarning:
                frames = {iconStatusWarning_};
                break;
            case VTBackupStatusComplete:
                frames = {iconStatusComplete_};
                break;
            default:
                frames = {iconStatusSevere_};
                break;
        }
    }

    if (state_ && state_->alert() && !sameImage(frames.first(), iconStatusGray_)) {
        const QImage alert = VT_alertImageFor(frames.first());
        const QImage first = frames.first();
        while (frames.size() < 10) {
            frames.append(first);
        }
        const auto limit = static_cast<qsizetype>(static_cast<double>(frames.size()) * 1.25);
        while (frames.size() <= limit) {
            frames.append(alert);
        }
    }
    return frames;
}

QImage VTStatusItemIconController::VT_alertImageFor(const QImage& first) const {
    const auto firstOf = [](const QList<QImage>& frames) {
        return frames.isEmpty() ? QImage() : frames.first();
    };
    if (sameImage(first, iconStatusSafe_) || sameImage(first, firstOf(restoreFrames_)) ||
        sameImage(first, firstOf(outboundFrames_)) || sameImage(first, firstOf(inboundFrames_))) {
        return iconStatusSafeAlert_;
    }
    if (sameImage(first, iconStatusComplete_)) {
        return iconStatusCompleteAlert_;
    }
    if (sameImage(first, iconStatusWarning_)) {
        return iconStatusWarningAlert_;
    }
    return iconStatusSevereAlert_;
}

void VTStatusItemIconController::updateIcon() {
    const QList<QImage> frames = VT_getStatusIcons();
    if (!sameFrames(frames, currentFrames_)) {
        currentFrames_ = frames;
        if (currentFrames_.size() != 1) {
            VT_startAnimationTimer();
        } else {
            animTimer_.stop();
        }
    }
    VT_updateIconImage();
}

void VTStatusItemIconController::forceUpdateIcon() {
    lastSetFrame_.reset();
    updateIcon();
}

void VTStatusItemIconController::VT_startAnimationTimer() {
    animTimer_.start();
}

void VTStatusItemIconController::VT_updateIconImage() {
    if (currentFrames_.isEmpty()) {
        return;
    }
    const bool open = menuHandler_ && menuHandler_->isMenuOpen();
    QImage image;
    if (open) {
        image = iconClickedImage_;
        currentFrameIdx_ = 0;
    } else {
        if (currentFrameIdx_ >= static_cast<unsigned>(currentFrames_.size())) {
            currentFrameIdx_ = 0;
        }
        image = currentFrames_.at(static_cast<qsizetype>(currentFrameIdx_));
        ++currentFrameIdx_;
    }
    if (lastSetFrame_ && *lastSetFrame_ == image.cacheKey()) {
        return;
    }
    lastSetFrame_ = image.cacheKey();
    if (customView_) {
        customView_->drawIconImage(image, open);
    }
}

void VTStatusItemIconController::setMenuHandler(VTMenuHandler* handler) {
    QObject::disconnect(menuOpenObservation_);
    menuHandler_ = handler;
    if (handler) {
        menuOpenObservation_ = QObject::connect(handler, &VTMenuHandler::isMenuOpenChanged, this,
                                                [this] { VT_menuOpenChanged(); });
    }
    emit menuHandlerChanged();
}

void VTStatusItemIconController::VT_menuOpenChanged() {
    if (menuHandler_ && menuHandler_->isMenuOpen()) {
        currentFrameIdx_ = 0;
        lastSetFrame_ = iconClickedImage_.cacheKey();
        if (customView_) {
            customView_->drawIconImage(iconClickedImage_, true);
        }
        return;
    }
    updateIcon();
}

void VTStatusItemIconController::VT_themeChanged(const QString& key) {
    if (key != kThemeKey) {
        return;
    }
    log()->fine(QStringLiteral("New icon theme selected, reloading icons..."));
    VT_loadIcons();
    updateIcon();
    VT_updateIconImage();
}
