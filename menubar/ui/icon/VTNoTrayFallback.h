#pragma once

#include <QPointer>
#include <QTimer>
#include <functional>

#include "app/VTLoggingObject.h"

class QWidget;

// For a desktop that shows no tray (GNOME without an extension, a bare window manager): when
// no tray has appeared some seconds after start, the status window is shown instead, and
// hidden again as soon as a tray appears. Trays are looked for only while the window stands in
// for one.
class VTNoTrayFallback : public VTLoggingObject {
    Q_OBJECT
  public:
    using TrayProbe = std::function<bool()>;

    static constexpr int kGraceMs = 10000;
    static constexpr int kRecheckMs = 3000;

    VTNoTrayFallback(QWidget* window, QObject* parent = nullptr);

    // Tests ask their own probe, sooner.
    void setTrayProbe(TrayProbe probe) { probe_ = std::move(probe); }
    void setIntervals(int graceMs, int recheckMs);

    void start();
    bool isStandingIn() const { return standingIn_; }

  private:
    void VT_check();

    QPointer<QWidget> window_;
    TrayProbe probe_;
    QTimer timer_;
    int recheckMs_ = kRecheckMs;
    bool standingIn_ = false;
};
