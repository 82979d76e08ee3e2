// The status panel as a window, for a desktop without a tray: its rows follow the state, the
// problem line follows the controller, the window counts as the open panel while it shows, and
// it stands in while no tray is found and goes away when one is.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>

#include "app/MasterControlProgram.h"
#include "tests/TestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/icon/VTNoTrayFallback.h"
#include "ui/menu/VTCollectionView.h"
#include "ui/menu/VTCollectionViewComputerItem.h"
#include "ui/menu/VTStatusItemMenuHandler.h"
#include "ui/menu/VTStatusWindow.h"

using namespace UiTestSupport;

namespace {

class StatusWindowTest : public UiTest {
  protected:
    void start() {
        window_.setState(&state_);
        window_.setMenuHandler(&handler_);
        window_.setApplicationController(&mcp_);
        window_.setActions({&pauseMenu_, &resume_, &openApp_, &account_, &preferences_, &quit_});
        window_.awakeFromNib();
    }
    QLabel* problem() const { return window_.window()->findChild<QLabel*>("problem"); }

    MasterControlProgram mcp_{MasterControlProgram::Collaborators{}};
    VTStatusItemMenuHandler handler_;
    QMenu pauseMenu_{"&Pause Backups"};
    QAction resume_{"&Resume Backups"}, openApp_{"&Open Vaultor"}, account_{"Manage &Account"},
        preferences_{"Pr&eferences..."}, quit_{"&Quit"};
    VTStatusWindow window_;
};

TEST_F(StatusWindowTest, RowsFollowTheStateAndTheWindowCountsAsTheOpenPanel) {
    start();
    connectAndApply();
    EXPECT_FALSE(handler_.isMenuOpen());
    QWidget* window = window_.window();
    window->show();
    EXPECT_TRUE(handler_.isMenuOpen());
    EXPECT_EQ(window_.destinationsView()->items().size(), 2);
    EXPECT_EQ(window_.sourcesView()->items().size(), 1);
    EXPECT_FALSE(problem()->isVisible());

    mcp_.onDestinationsChanged(0);
    EXPECT_TRUE(problem()->isVisible());
    EXPECT_EQ(problem()->text(), "No destinations configured.");
    // A source gone while the window shows: its list and header go.
    apply(R"({"computers": {"c3001": {"source": false}}, "InboundStats": {}})");
    EXPECT_TRUE(window_.sourcesView()->isHidden() || window_.sourcesView()->items().isEmpty());

    QDir().mkpath(VT_UI_GRAB_DIR);
    EXPECT_TRUE(window->grab().save(QStringLiteral(VT_UI_GRAB_DIR "/status-window.png")));
    window->hide();
    EXPECT_FALSE(handler_.isMenuOpen());
}

TEST_F(StatusWindowTest, TheWindowStandsInWhileNoTrayIsFoundAndGoesWhenOneIs) {
    start();
    bool tray = false;
    int probes = 0;
    VTNoTrayFallback fallback(window_.window());
    fallback.setTrayProbe([&] {
        ++probes;
        return tray;
    });
    fallback.setIntervals(1, 1);
    fallback.start();
    ASSERT_TRUE(vttest::waitFor([&] { return window_.window()->isVisible(); }));
    EXPECT_TRUE(fallback.isStandingIn());
    EXPECT_TRUE(handler_.isMenuOpen());
    // Still no tray: the window stays and trays are looked for again.
    ASSERT_TRUE(vttest::waitFor([&] { return probes >= 3; }));
    EXPECT_TRUE(window_.window()->isVisible());

    tray = true;
    ASSERT_TRUE(vttest::waitFor([&] { return !window_.window()->isVisible(); }));
    EXPECT_FALSE(fallback.isStandingIn());
    EXPECT_FALSE(handler_.isMenuOpen());
    // With a tray there, nothing looks for one any more.
    const int seen = probes;
    vttest::spin(100);
    EXPECT_EQ(probes, seen);
}

}  // namespace
