#include "ui/icon/VTStatusItemIconView.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QPixmap>
#include <QScreen>

#include "ui/VTImages.h"
#include "ui/VTPopupPlacement.h"

VTStatusItemIconView::VTStatusItemIconView(QObject* parent) : QObject(parent) {}

void VTStatusItemIconView::setStatusItem(QSystemTrayIcon* item) {
    if (statusItem_) {
        QObject::disconnect(statusItem_, nullptr, this, nullptr);
    }
    statusItem_ = item;
    if (item) {
        QObject::connect(item, &QSystemTrayIcon::activated, this, &VTStatusItemIconView::activated);
    }
}

void VTStatusItemIconView::drawIconImage(const QImage& image, bool highlight) {
    currentImage_ = image;
    highlighted_ = highlight;
    if (statusItem_) {
        statusItem_->setIcon(trayIcon(image));
    }
    emit iconDrawn();
}

QIcon VTStatusItemIconView::trayIcon(const QImage& image) {
    if (image.isNull()) {
        return QIcon();
    }
    if (const auto found = icons_.constFind(image.cacheKey()); found != icons_.constEnd()) {
        return *found;
    }
    QIcon icon;
    for (const int pixels : kTraySizes) {
        // The renderings drawn for each size are crisper than any scaling of the master.
        const auto path = VTImages::pathAtPixelSize(image, pixels);
        const QPixmap pixmap(
            path ? QPixmap(*path)
                 : QPixmap::fromImage(image.scaled(pixels, pixels, Qt::KeepAspectRatio,
                                                   Qt::SmoothTransformation)));
        icon.addPixmap(pixmap);
    }
    icons_.insert(image.cacheKey(), icon);
    return icon;
}

void VTStatusItemIconView::activated(QSystemTrayIcon::ActivationReason reason) {
    // A right click opens the context menu, which the tray (or Qt for it) shows by itself.
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) {
        popUpMenu();
    }
}

void VTStatusItemIconView::popUpMenu() {
    if (!menu_ || !statusItem_) {
        return;
    }
    const QRect icon = statusItem_->geometry();
    const QPoint anchor = icon.isValid() && !icon.isEmpty() ? icon.center() : QCursor::pos();
    QScreen* screen = QGuiApplication::screenAt(anchor);
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    menu_->ensurePolished();
    menu_->adjustSize();
    const QSize size = menu_->sizeHint();
    const QRect available = screen ? screen->availableGeometry() : QRect(QPoint(), size);
    menu_->popup(VTPopupPlacement::topLeft(icon, QCursor::pos(), size, available));
}
