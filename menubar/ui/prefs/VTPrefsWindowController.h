#pragma once

#include <QPointer>
#include <QStringList>
#include <memory>

#include "app/VTLoggingObject.h"

class QAbstractButton;
class QButtonGroup;
class QWidget;
class VTLaunchOnLoginSetting;

namespace Ui {
class VTPrefsWindow;
}

// The preferences window: the icon theme, picked in a radio group of the themes' display
// names and stored by its stored name, starting at login, and the desktop notices. The
// controls follow the user defaults both ways, so a change made elsewhere shows at once.
class VTPrefsWindowController : public VTLoggingObject {
    Q_OBJECT
    Q_PROPERTY(QStringList iconThemePlistNames READ iconThemePlistNames CONSTANT)
    Q_PROPERTY(QStringList iconThemeDisplayNames READ iconThemeDisplayNames CONSTANT)
    Q_PROPERTY(QString titleBarText READ titleBarText CONSTANT)
  public:
    explicit VTPrefsWindowController(QObject* parent = nullptr);
    ~VTPrefsWindowController() override;

    // The information list's "VTKeyIconThemesAvailable" split at "|"; empty when absent.
    static QStringList availableThemeNames();
    // Registers the first available theme as the default theme; runs once per process.
    static void initialize();
    // The registration itself: nothing is registered when no theme is available.
    static void registerThemeDefault();

    void setPrefsController(VTLaunchOnLoginSetting* controller) { prefsController_ = controller; }
    // Builds the window (hidden): the title, a radio cell per theme, the window grown for the
    // cells beyond the two designed ones, and the controls bound to the defaults.
    void awakeFromNib();
    // Centres the window on the screen with the pointer, raises and activates it.
    void showPrefsWindow();
    // The launch-on-login checkbox's action: on for any state but off.
    void changeLaunchOnLogin(QAbstractButton* sender);

    QWidget* prefsWindow() const { return prefsWindow_.get(); }
    QButtonGroup* matrix() const { return matrix_; }
    const QStringList& iconThemePlistNames() const { return iconThemePlistNames_; }
    const QStringList& iconThemeDisplayNames() const { return iconThemeDisplayNames_; }
    const QString& titleBarText() const { return titleBarText_; }

  private:
    void VT_growForThemes();
    void VT_bindControls();
    void VT_showStoredTheme();
    void VT_defaultChanged(const QString& key);

    QButtonGroup* matrix_ = nullptr;
    std::unique_ptr<QWidget> prefsWindow_;
    VTLaunchOnLoginSetting* prefsController_ = nullptr;
    QStringList iconThemePlistNames_;
    QStringList iconThemeDisplayNames_;
    QString titleBarText_;
    std::unique_ptr<Ui::VTPrefsWindow> form_;
};
