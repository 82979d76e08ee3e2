#include "ui/icon/VTStatusItemIconView.h"

#include <QCursor>
#include <QGuiApplication>
#include <QIconEngine>
#include <QMenu>
#include <QPixmap>
#include <QScreen>
#include <QtMath>
#include <algorithm>

#include "ui/VTImages.h"
#include "ui/VTPopupPlacement.h"

namespace {

// An icon that is only the path of its file: Qt hands a StatusNotifierItem host the icon's
// name, and with no pixmap in the icon it sends no pixels (two empty images).
class VTFileNameIconEngine final : public QIconEngine {
  public:
    explicit VTFileNameIconEngine(QString path) : path_(std::move(path)) {}

    void paint(QPainter*, const QRect&, QIcon::Mode, QIcon::State) override {}
    QPixmap pixmap(const QSize&, QIcon::Mode, QIcon::State) override { return QPixmap(); }
    QIconEngine* clone() const override { return new VTFileNameIconEngine(path_); }
    QString iconName() override { return path_; }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {}; }
    bool isNull() override { return false; }

  private:
    QString path_;
};

// The size of the file a host reads: what trays draw at (22 px a point) on the densest screen.
int filePixels() {
    const int wanted = qCeil(22 * qGuiApp->devicePixelRatio());
    const auto* size = std::find_if(std::begin(VTStatusItemIconView::kTraySizes),
                                    std::end(VTStatusItemIconView::kTraySizes),
                                    [wanted](int pixels) { return pixels >= wanted; });
    return size != std::end(VTStatusItemIconView::kTraySizes)
               ? *size
               : *std::rbegin(VTStatusItemIconView::kTraySizes);
}

}  // namespace

VTStatusItemIconView::VTStatusItemIconView(QObject* parent) : QObject(parent) {
    if (const auto folder = VTTrayIconFiles::runtimeFolder()) {
        files_.emplace(*folder);
    }
}

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
    if (probe_.overBus(statusItem_)) {
        if (auto icon = fileIcon(image)) {
            return *icon;
        }
    }
    return pixmapIcon(image);
}

std::optional<QIcon> VTStatusItemIconView::fileIcon(const QImage& image) {
    if (!files_) {
        return std::nullopt;
    }
    // Asked every time, so that a file removed from under the host is written again.
    const auto path = files_->fileFor(image, filePixels());
    if (!path) {
        return std::nullopt;
    }
    auto found = fileIcons_.constFind(*path);
    if (found == fileIcons_.constEnd()) {
        found = fileIcons_.insert(*path, QIcon(new VTFileNameIconEngine(*path)));
    }
    return *found;
}

QIcon VTStatusItemIconView::pixmapIcon(const QImage& image) {
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
