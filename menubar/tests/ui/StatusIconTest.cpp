// The tray icon against states built from the service's documents: the frames each state
// shows, the alert overlay, the clicked image while the panel is open, the animation timer's
// start and stop, and theme images handed to the view only when they change.
#include <gtest/gtest.h>

#include <QMenu>
#include <QSignalSpy>

#include "tests/TestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/icon/VTStatusItemIconController.h"
#include "ui/icon/VTStatusItemIconView.h"
#include "ui/menu/VTStatusItemMenuHandler.h"
#include "ui/prefs/VTPrefsWindowController.h"

using namespace UiTestSupport;

namespace {

// The animation frames from `first` to `last` in that order (either direction).
QString animation(int first, int last) {
    QStringList names;
    const int step = first <= last ? 1 : -1;
    for (int i = first; i != last + step; i += step) {
        names << QStringLiteral("vt_status_active_anim%1").arg(i);
    }
    return names.join(QLatin1Char(' '));
}

class StatusIconTest : public UiTest {
  protected:
    void start() {
        handler_.addMenu(&menu_);
        icon_.setState(&state_);
        icon_.setCustomView(&view_);
        icon_.setMenu(&menu_);
        icon_.setMenuHandler(&handler_);
        icon_.awakeFromNib();
    }
    // One animation tick, as the timer runs it: the next frame is shown.
    QString tick() {
        icon_.updateIcon();
        return shown();
    }
    QString shown() const { return nameOf(view_.currentImage()); }

    QMenu menu_;
    VTStatusItemMenuHandler handler_;
    VTStatusItemIconView view_;
    VTStatusItemIconController icon_;
};

constexpr const char* kSending = R"({"OutboundStats": {"d2001": {"backingUp": true}}})";

TEST_F(StatusIconTest, EachStateShowsItsFramesAndTheAlertOverlayFollowsTheFirstFrame) {
    struct Case {
        const char* name;
        const char* overlay;
        QString frames;
    };
    const QString safeAlert = QStringLiteral(" vt_status_safe_alert*4");
    const Case cases[] = {
        {"safe", "{}", "vt_status_safe"},
        {"warning", R"({"backupStatus": "WARNING"})", "vt_status_warning"},
        {"severe (1)", R"({"backupStatus": "SEVERE"})", "vt_status_severe"},
        {"unknown (3)", R"({"backupStatus": "NO_SUCH_STATUS"})", "vt_status_severe"},
        {"complete", R"({"OutboundStats": {"d2001": {"11": {"completedRatio": 1}}}})",
         "vt_status_complete"},
        {"paused", R"({"resumeSystemTime": 4000010800000})", "vt_status_paused"},
        {"upgrading is grey", R"({"upgrading": true})", "vt_status_gray"},
        {"sending", kSending, animation(0, 11)},
        {"receiving", R"({"InboundStats": {"s3001": {"backingUp": true}}})", animation(11, 0)},
        {"restoring", R"({"RestoreStats": {"r7": {"id": 7, "restoring": true}}})",
         animation(11, 0)},
        {"restoring beats sending",
         R"({"RestoreStats": {"r7": {"id": 7, "restoring": true}},
             "OutboundStats": {"d2001": {"backingUp": true}}})",
         animation(11, 0)},
        {"paused beats sending",
         R"({"resumeSystemTime": 4000010800000, "OutboundStats": {"d2001": {"backingUp": true}}})",
         "vt_status_paused"},
        {"grey beats paused", R"({"upgrading": true, "resumeSystemTime": 4000010800000})",
         "vt_status_gray"},
        {"safe, alert", R"({"alert": true})", "vt_status_safe*10 vt_status_safe_alert*3"},
        {"warning, alert", R"({"alert": true, "backupStatus": "WARNING"})",
         "vt_status_warning*10 vt_status_warning_alert*3"},
        {"severe, alert", R"({"alert": true, "backupStatus": "SEVERE"})",
         "vt_status_severe*10 vt_status_severe_alert*3"},
        {"complete, alert",
         R"({"alert": true, "OutboundStats": {"d2001": {"11": {"completedRatio": 1}}}})",
         "vt_status_complete*10 vt_status_complete_alert*3"},
        {"paused, alert", R"({"alert": true, "resumeSystemTime": 4000010800000})",
         "vt_status_paused*10 vt_status_severe_alert*3"},
        {"sending, alert", R"({"alert": true, "OutboundStats": {"d2001": {"backingUp": true}}})",
         animation(0, 11) + safeAlert},
        {"receiving, alert", R"({"alert": true, "InboundStats": {"s3001": {"backingUp": true}}})",
         animation(11, 0) + safeAlert},
        {"grey, alert", R"({"alert": true, "upgrading": true})", "vt_status_gray"},
    };
    start();
    EXPECT_EQ(runs(icon_.currentFrames()), "vt_status_gray") << "not connected";
    state_.setIsConnected(true);
    for (const Case& c : cases) {
        apply(c.overlay);
        EXPECT_EQ(runs(icon_.currentFrames()), c.frames) << c.name;
        // Each frame is the theme's cached image itself, not a copy.
        for (const QImage& frame : icon_.currentFrames()) {
            EXPECT_EQ(frame.cacheKey(), VTImages::imageFromResourceName(nameOf(frame)).cacheKey())
                << c.name;
        }
    }
    // The two statuses that share the severe image are what the rows claim.
    apply(R"({"backupStatus": "SEVERE"})");
    EXPECT_EQ(state_.backupStatus(), VTBackupStatusSevere);
    apply(R"({"backupStatus": "NO_SUCH_STATUS"})");
    EXPECT_EQ(state_.backupStatus(), VTBackupStatusUnknown);
}

TEST_F(StatusIconTest, AlertShowsTheStatusForTenTicksThenItsAlertForThreeAndRedrawsOnlyChanges) {
    start();
    connectAndApply(R"({"alert": true})");
    ASSERT_EQ(icon_.currentFrames().size(), 13);
    // Opening and closing the panel starts the cycle at its first frame.
    menu_.popup(QPoint(0, 0));
    menu_.hide();
    QStringList seen{shown()};
    QSignalSpy draws(&view_, &VTStatusItemIconView::iconDrawn);
    for (int i = 1; i < 26; ++i) {
        seen << tick();
    }
    EXPECT_EQ(runs(seen),
              "vt_status_safe*10 vt_status_safe_alert*3 vt_status_safe*10 "
              "vt_status_safe_alert*3");
    // Only the three changes of image reach the view: a repeated still frame costs nothing.
    EXPECT_EQ(draws.count(), 3);
}

TEST_F(StatusIconTest, OpenPanelShowsTheClickedImageAtOnceAndClosingRestartsAtFrameZero) {
    start();
    connectAndApply(kSending);
    for (int i = 0; i < 5; ++i) {
        tick();
    }
    ASSERT_NE(shown(), "vt_status_active_anim0");
    QSignalSpy draws(&view_, &VTStatusItemIconView::iconDrawn);
    menu_.popup(QPoint(0, 0));
    EXPECT_TRUE(handler_.isMenuOpen());
    EXPECT_EQ(shown(), "vt_icon_clicked");
    EXPECT_TRUE(view_.highlighted());
    EXPECT_EQ(draws.count(), 1);
    // While open, ticks and updates keep the clicked image without drawing it again.
    tick();
    apply(kSending);
    EXPECT_EQ(shown(), "vt_icon_clicked");
    EXPECT_EQ(draws.count(), 1);

    menu_.hide();
    EXPECT_FALSE(handler_.isMenuOpen());
    EXPECT_EQ(shown(), "vt_status_active_anim0");
    EXPECT_FALSE(view_.highlighted());
    EXPECT_EQ(tick(), "vt_status_active_anim1");
}

TEST_F(StatusIconTest, TimerAnimatesManyFramesAndAOneFrameThemeShowsAStillImageWithTheTimerOff) {
    start();
    // Started at start-up whatever the list; the first change to one image stops it.
    EXPECT_TRUE(icon_.isAnimating());
    connectAndApply();
    EXPECT_FALSE(icon_.isAnimating());
    apply(kSending);
    EXPECT_TRUE(icon_.isAnimating());

    // The timer's ticks walk through the frames in order.
    QStringList drawn;
    QObject::connect(&view_, &VTStatusItemIconView::iconDrawn, [&] { drawn << shown(); });
    ASSERT_TRUE(vttest::waitFor([&] { return drawn.size() >= 3; }, 20000));
    for (qsizetype i = 1; i < drawn.size(); ++i) {
        const int before = drawn[i - 1].section("anim", 1).toInt();
        EXPECT_EQ(drawn[i], QStringLiteral("vt_status_active_anim%1").arg((before + 1) % 12));
    }

    // A theme change reloads every image; one animation frame is a still image.
    defaults_.get()->setObject(QStringLiteral("testone"), kThemeKey);
    EXPECT_EQ(runs(icon_.currentFrames()), "testone_vt_status_active_anim0");
    EXPECT_FALSE(icon_.isAnimating());
    EXPECT_EQ(shown(), "testone_vt_status_active_anim0");
    QSignalSpy draws(&view_, &VTStatusItemIconView::iconDrawn);
    tick();
    apply(kSending);
    tick();
    EXPECT_EQ(draws.count(), 0);

    defaults_.get()->setObject(QStringLiteral("dots"), kThemeKey);
    EXPECT_EQ(runs(icon_.currentFrames()), animation(0, 11));
    EXPECT_TRUE(icon_.isAnimating());
}

TEST_F(StatusIconTest, EachThemeOfTheInformationListReplacesEveryImageAtOnce) {
    const struct {
        const char* theme;
        int frames;
    } themes[] = {{"colors", 12}, {"gradient", 12}, {"no_animation", 1}, {"dots", 12}};
    ASSERT_EQ(VTPrefsWindowController::availableThemeNames(),
              (QStringList{"dots", "colors", "gradient", "no_animation"}));
    start();
    connectAndApply(kSending);
    for (const auto& t : themes) {
        SCOPED_TRACE(t.theme);
        const QString prefix = QString::fromLatin1(t.theme) + "_";
        defaults_.get()->setObject(QString::fromLatin1(t.theme), kThemeKey);
        EXPECT_EQ(icon_.currentFrames().size(), t.frames);
        EXPECT_EQ(icon_.isAnimating(), t.frames > 1);
        for (const QImage& image : {view_.currentImage(), icon_.iconStatusSafe(),
                                    icon_.iconStatusGray(), icon_.iconClickedImage()}) {
            EXPECT_TRUE(image.text(VTImages::kResourceNameKey).startsWith(prefix))
                << image.text(VTImages::kResourceNameKey).toStdString();
        }
    }
}

}  // namespace
