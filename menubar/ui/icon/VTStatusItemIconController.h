#pragma once

#include <QImage>
#include <QList>
#include <QMenu>
#include <QMetaObject>
#include <QPointer>
#include <QRectF>
#include <QTimer>

#include "app/VTLoggingObject.h"
#include "app/VTMenuHandler.h"
#include "app/VTStatusIcon.h"
#include "model/VTVaultorState.h"
#include "ui/icon/VTStatusItemIconView.h"

class QSystemTrayIcon;

// Decides which frames the tray icon shows and drives its animation: a still image per overall
// status, an animation while data moves, grey while the service is not usable, paused, an
// alert variant every few ticks while the service reports an alert, and the clicked image while
// the panel is open. Images come from the current icon theme and are compared by identity, so
// a still icon costs nothing per tick. Main thread only.
class VTStatusItemIconController : public VTLoggingObject, public VTStatusIcon {
    Q_OBJECT
    Q_PROPERTY(
        VTMenuHandler* menuHandler READ menuHandler WRITE setMenuHandler NOTIFY menuHandlerChanged)
  public:
    static constexpr int kAnimationIntervalMs = 170;

    explicit VTStatusItemIconController(QObject* parent = nullptr);

    // Start-up, once menu, state and custom view are set: loads the images, puts the item in
    // the tray and shows the first frame.
    void awakeFromNib();
    void updateIcon();
    void forceUpdateIcon() override;

    QMenu* menu() const { return menu_; }
    void setMenu(QMenu* menu) { menu_ = menu; }
    VTVaultorState* state() const { return state_; }
    void setState(VTVaultorState* state) { state_ = state; }
    VTStatusItemIconView* customView() const { return customView_; }
    void setCustomView(VTStatusItemIconView* view) { customView_ = view; }
    VTMenuHandler* menuHandler() const { return menuHandler_; }
    void setMenuHandler(VTMenuHandler* handler) override;
    // The context menu of the tray item (a right click).
    void setContextMenu(QMenu* menu) { contextMenu_ = menu; }

    const QList<QImage>& currentFrames() const { return currentFrames_; }
    bool isAnimating() const { return animTimer_.isActive(); }
    QSystemTrayIcon* statusItem() const { return statusItem_; }
    // The still images of the theme, by the name of their field.
    const QImage& iconStatusSafe() const { return iconStatusSafe_; }
    const QImage& iconStatusGray() const { return iconStatusGray_; }
    const QImage& iconStatusPaused() const { return iconStatusPaused_; }
    const QImage& iconClickedImage() const { return iconClickedImage_; }
    const QList<QImage>& outboundFrames() const { return outboundFrames_; }

  signals:
    void menuHandlerChanged();

  private:
    void VT_loadIcons();
    bool VT_serviceGrayState() const;
    QList<QImage> VT_getStatusIcons() const;
    QImage VT_alertImageFor(const QImage& first) const;
    void VT_updateIconImage();
    void VT_startAnimationTimer();
    void VT_menuOpenChanged();
    void VT_themeChanged(const QString& key);

    QPointer<QMenu> menu_;
    QPointer<VTVaultorState> state_;
    QPointer<VTStatusItemIconView> customView_;
    QPointer<VTMenuHandler> menuHandler_;
    QTimer animTimer_;
    unsigned currentFrameIdx_ = 0;
    QImage iconStatusSafe_, iconStatusSafeAlert_, iconStatusWarning_, iconStatusWarningAlert_,
        iconStatusSevere_, iconStatusSevereAlert_, iconStatusComplete_, iconStatusCompleteAlert_,
        iconClickedImage_, iconStatusPaused_, iconStatusGray_;
    QList<QImage> currentFrames_;
    // Compared by cacheKey: the very image last handed to the view, or none.
    std::optional<qint64> lastSetFrame_;
    QList<QImage> inboundFrames_, outboundFrames_, restoreFrames_;
    QSystemTrayIcon* statusItem_ = nullptr;
    QPointer<QMenu> contextMenu_;
    QRectF viewRect_, iconRect_;
    QMetaObject::Connection menuOpenObservation_;
};
