#pragma once

#include <QHash>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QSystemTrayIcon>
#include <optional>

#include "ui/icon/VTStatusNotifierProbe.h"
#include "ui/icon/VTTrayIconFiles.h"

// What stands in the tray: hands the tray host the current frame and opens the status panel
// on a left click. Each image becomes one QIcon, built once and reused. On a tray that embeds
// a window of ours (XEmbed) the icon holds the pixel sizes trays draw at, drawn here and
// never sent anywhere. On a host that takes the icon over the session bus (a
// StatusNotifierItem), Qt would send every one of those sizes again with each animation frame,
// a few hundred KB/s; there the icon names a PNG file of the frame instead and holds no pixels,
// so that a frame costs the bus its file name and a few hundred bytes around it.
class VTStatusItemIconView : public QObject {
    Q_OBJECT
  public:
    // The sizes a tray draws at, and the same at twice the density.
    static constexpr int kTraySizes[] = {16, 22, 24, 32, 44, 48, 64};

    explicit VTStatusItemIconView(QObject* parent = nullptr);

    QSystemTrayIcon* statusItem() const { return statusItem_; }
    void setStatusItem(QSystemTrayIcon* item);
    // The panel a left click opens; none keeps clicks without effect.
    QMenu* menu() const { return menu_; }
    void setMenu(QMenu* menu) { menu_ = menu; }

    const QRectF& iconRect() const { return iconRect_; }
    const QImage& currentImage() const { return currentImage_; }
    bool highlighted() const { return highlighted_; }

    // Stores the image and the highlight and shows them.
    void drawIconImage(const QImage& image, bool highlight);
    // The icon the tray gets for the image.
    QIcon trayIcon(const QImage& image);

  signals:
    void iconDrawn();

  private:
    void activated(QSystemTrayIcon::ActivationReason reason);
    void popUpMenu();
    QIcon pixmapIcon(const QImage& image);
    std::optional<QIcon> fileIcon(const QImage& image);

    QPointer<QSystemTrayIcon> statusItem_;
    QPointer<QMenu> menu_;
    QRectF iconRect_{4.0, 3.0, 22.0, 22.0};
    QImage currentImage_;
    bool highlighted_ = false;
    QHash<qint64, QIcon> icons_;
    QHash<QString, QIcon> fileIcons_;
    VTStatusNotifierProbe probe_;
    std::optional<VTTrayIconFiles> files_;
};
