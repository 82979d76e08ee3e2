#include "ui/icon/VTNoTrayFallback.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QWidget>
#include <algorithm>

VTNoTrayFallback::VTNoTrayFallback(QWidget* window, QObject* parent)
    : VTLoggingObject(parent),
      window_(window),
      probe_([] { return QSystemTrayIcon::isSystemTrayAvailable(); }) {
    timer_.setSingleShot(true);
    timer_.setInterval(kGraceMs);
    QObject::connect(&timer_, &QTimer::timeout, this, &VTNoTrayFallback::VT_check);
}

void VTNoTrayFallback::setIntervals(int graceMs, int recheckMs) {
    timer_.setInterval(graceMs);
    recheckMs_ = recheckMs;
}

void VTNoTrayFallback::start() {
    timer_.start();
}

void VTNoTrayFallback::VT_check() {
    const bool tray = probe_();
    if (tray) {
        if (standingIn_) {
            standingIn_ = false;
            log()->info(QStringLiteral("A system tray appeared; the status window is hidden."));
            if (window_) {
                window_->hide();
            }
        }
        return;
    }
    if (!standingIn_) {
        standingIn_ = true;
        log()->info(
            QStringLiteral("No system tray to show the icon in; the status is shown "
                           "in a window until one appears."));
        if (window_) {
            if (QScreen* screen = QGuiApplication::primaryScreen()) {
                // Whole on the screen, however small the screen.
                const QRect available = screen->availableGeometry();
                window_->resize(window_->size().boundedTo(available.size()));
                QRect frame = window_->frameGeometry();
                frame.moveCenter(available.center());
                window_->move(std::max(frame.left(), available.left()),
                              std::max(frame.top(), available.top()));
            }
            window_->show();
        }
    }
    timer_.start(recheckMs_);
}
