#pragma once

#include <QHash>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QSystemTrayIcon>

// What stands in the tray: hands the tray host the current frame and opens the status panel
// on a left click. The host draws the icon itself, so each frame becomes a QIcon holding only
// the pixel sizes trays ask for, built once per image and reused, so that an animation frame
// costs one small pixmap and never a large one.
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

    QPointer<QSystemTrayIcon> statusItem_;
    QPointer<QMenu> menu_;
    QRectF iconRect_{4.0, 3.0, 22.0, 22.0};
    QImage currentImage_;
    bool highlighted_ = false;
    QHash<qint64, QIcon> icons_;
};
