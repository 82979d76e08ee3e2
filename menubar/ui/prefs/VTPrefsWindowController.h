#pragma once

#include <QPointer>
#include <QWidget>

#include "app/VTLoggingObject.h"

// The preferences window. It names the product and says where the settings will be; the
// theme and start-at-login choices join it next.
class VTPrefsWindowController : public VTLoggingObject {
    Q_OBJECT
  public:
    explicit VTPrefsWindowController(QObject* parent = nullptr);

    // The information list's "VTKeyIconThemesAvailable" split at "|"; empty when absent.
    static QStringList availableThemeNames();
    // Registers the first available theme as the default theme; runs once per process.
    static void initialize();
    ~VTPrefsWindowController() override;

    // Centres the window on the screen with the pointer, raises and activates it.
    void showPrefsWindow();
    QWidget* prefsWindow() const { return prefsWindow_; }

  private:
    QPointer<QWidget> prefsWindow_;
};
