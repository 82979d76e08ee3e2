// The preferences window offscreen: its title, a radio cell per theme with the window grown by
// the cells beyond the two designed ones, the radio group and the checkboxes bound to the user
// defaults both ways, the launch-on-login action, and the theme default that the information
// list's themes register (or, without them, do not).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>

#include "app/VTLaunchOnLoginSetting.h"
#include "app/VTLogger.h"
#include "app/VTStatusNotifier.h"
#include "tests/TestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/prefs/VTPrefsWindowController.h"
#include "ui_VTPrefsWindow.h"

using namespace UiTestSupport;

namespace {

class RecordingLaunchSetting : public VTLaunchOnLoginSetting {
  public:
    void setLaunchOnLogin(bool launch) override { calls.push_back(launch); }
    std::vector<bool> calls;
};

class PrefsWindowTest : public UiTest {
  protected:
    void start() {
        prefs_.setPrefsController(&launch_);
        prefs_.awakeFromNib();
    }
    QCheckBox* box(const char* name) const {
        return prefs_.prefsWindow()->findChild<QCheckBox*>(QLatin1String(name));
    }
    QString checkedCell() const {
        QAbstractButton* cell = prefs_.matrix()->checkedButton();
        return cell ? cell->text() : QStringLiteral("none");
    }

    RecordingLaunchSetting launch_;
    VTPrefsWindowController prefs_;
};

TEST_F(PrefsWindowTest, TitleNamesTheProductAndTheBuildWhenDebugging) {
    const bool debug = VTDebugEnabled;
    for (const bool on : {false, true}) {
        VTDebugEnabled = on;
        VTPrefsWindowController prefs;
        prefs.awakeFromNib();
        EXPECT_EQ(prefs.titleBarText(),
                  on ? "Vaultor Menu Bar - Build #: dev" : "Vaultor Menu Bar");
        EXPECT_EQ(prefs.prefsWindow()->windowTitle(), prefs.titleBarText());
    }
    VTDebugEnabled = debug;
}

TEST_F(PrefsWindowTest, FourThemesGrowTheWindowByTwoRowsAndEveryCellShowsWhole) {
    // The window as designed, with its two cells.
    QWidget designed;
    Ui::VTPrefsWindow form;
    form.setupUi(&designed);
    designed.ensurePolished();
    const int designedHeight = std::max(designed.height(), designed.minimumSizeHint().height());
    const int row = form.themeCell0->sizeHint().height() + form.matrix->spacing();

    start();
    QWidget* window = prefs_.prefsWindow();
    EXPECT_EQ(prefs_.iconThemePlistNames(),
              (QStringList{"dots", "colors", "gradient", "no_animation"}));
    EXPECT_EQ(window->height(), designedHeight + 2 * row);
    EXPECT_EQ(window->width(), designed.width());

    window->show();
    QStringList cells;
    for (QAbstractButton* cell : prefs_.matrix()->buttons()) {
        cells << cell->text();
        const QRect inWindow(cell->mapTo(window, QPoint()), cell->size());
        EXPECT_TRUE(window->rect().contains(inWindow)) << cell->text().toStdString();
        // Neither cut nor squeezed onto its neighbours.
        EXPECT_GE(cell->width(), cell->sizeHint().width()) << cell->text().toStdString();
        EXPECT_GE(cell->height(), cell->sizeHint().height()) << cell->text().toStdString();
    }
    EXPECT_EQ(cells, (QStringList{"Dots", "Colors", "Gradient", "No animation"}));
    for (const char* name : {"launchOnLogin", "showNotifications"}) {
        const QRect inWindow(box(name)->mapTo(window, QPoint()), box(name)->size());
        EXPECT_TRUE(window->rect().contains(inWindow)) << name;
        EXPECT_GE(box(name)->width(), box(name)->sizeHint().width()) << name;
    }
    QDir().mkpath(VT_UI_GRAB_DIR);
    EXPECT_TRUE(window->grab().save(QStringLiteral(VT_UI_GRAB_DIR "/prefs-window.png")));
    window->hide();
}

TEST_F(PrefsWindowTest, TheRadioGroupStoresTheStoredNameAndFollowsItsChanges) {
    vttest::LogRecorder log;
    start();
    EXPECT_EQ(checkedCell(), "Dots");
    prefs_.matrix()->button(2)->click();
    EXPECT_EQ(defaults_.get()->stringForKey(kThemeKey), "gradient");
    EXPECT_EQ(log.count("\n\n\nTheme's changing, boss: gradient\n\n"), 1);

    const struct {
        const char* stored;
        const char* shown;
    } cases[] = {{"no_animation", "No animation"},
                 {"testone", "none"},  // a theme the window does not list
                 {"colors", "Colors"}};
    for (const auto& c : cases) {
        defaults_.get()->setObject(QString::fromLatin1(c.stored), kThemeKey);
        EXPECT_EQ(checkedCell(), c.shown) << c.stored;
    }
}

TEST_F(PrefsWindowTest, TheCheckboxesStoreTheirChoiceAndLaunchOnLoginIsCarriedOut) {
    defaults_.get()->setObject("YES", "LaunchOnLogin");
    start();
    QCheckBox* launch = box("launchOnLogin");
    EXPECT_TRUE(launch->isChecked());
    launch->click();
    launch->click();
    EXPECT_EQ(launch_.calls, (std::vector<bool>{false, true}));
    EXPECT_EQ(defaults_.get()->stringForKey("LaunchOnLogin"), "YES");
    // A change made elsewhere shows, and is not carried out twice.
    defaults_.get()->setObject("NO", "LaunchOnLogin");
    EXPECT_FALSE(launch->isChecked());
    EXPECT_EQ(launch_.calls.size(), 2u);

    // Any state but off means on; a button without a state does nothing.
    QCheckBox tristate;
    tristate.setTristate(true);
    tristate.setCheckState(Qt::PartiallyChecked);
    prefs_.changeLaunchOnLogin(&tristate);
    QPushButton plain;
    prefs_.changeLaunchOnLogin(&plain);
    EXPECT_EQ(launch_.calls, (std::vector<bool>{false, true, true}));

    QCheckBox* notices = box("showNotifications");
    defaults_.get()->setObject("YES", VTStatusNotifier::kShowNotificationsKey);
    EXPECT_TRUE(notices->isChecked());
    notices->click();
    EXPECT_FALSE(defaults_.get()->boolForKey(VTStatusNotifier::kShowNotificationsKey));
}

TEST(PrefsThemeDefault, NoThemeListRegistersNoThemeAndImagesGoByTheirPlainNames) {
    const QVariantMap original = VTUtils::bundleInfoDictionary();
    QTemporaryDir dir;
    const QString key = QStringLiteral("VTDefaultsKeyIconThemeName");
    const struct {
        const char* what;
        QVariant themes;
        QStringList available;
        QVariant registered;
        QString image;  // the name "play" is looked up under
    } cases[] = {
        {"no theme list", QVariant(), {}, QVariant(), "play"},
        {"two themes",
         QStringLiteral("testred|dots"),
         {"testred", "dots"},
         "testred",
         "testred_play"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QVariantMap info = original;
        info.remove(QStringLiteral("VTKeyIconThemesAvailable"));
        if (c.themes.isValid()) {
            info.insert(QStringLiteral("VTKeyIconThemesAvailable"), c.themes);
        }
        VTUtils::overrideBundleInfoDictionary(info);
        VTUserDefaults defaults(dir.filePath(QString::fromLatin1(c.what) + ".ini"));
        VTUtils::setUserDefaults(&defaults);
        EXPECT_EQ(VTPrefsWindowController::availableThemeNames(), c.available);
        VTPrefsWindowController::registerThemeDefault();
        EXPECT_EQ(defaults.registeredDefault(key), c.registered);
        EXPECT_EQ(VTImages::imageFromResourceName("play").text(VTImages::kResourceNameKey),
                  c.image);
        VTUtils::setUserDefaults(nullptr);
    }
    VTUtils::overrideBundleInfoDictionary(original);
}

}  // namespace
