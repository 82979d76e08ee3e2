// The status panel against states built from the service's documents: the order of the rows,
// their heights and the list's, the details choice per computer, the play/pause images, what a
// new row shows before its first update, and when the panel counts as open.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMenu>

#include "tests/ui/UiTestSupport.h"
#include "ui/menu/VTCollectionView.h"
#include "ui/menu/VTCollectionViewComputerItem.h"
#include "ui/menu/VTComputerView.h"
#include "ui/menu/VTPausableProgressBar.h"
#include "ui/menu/VTStatusItemMenuController.h"
#include "ui/menu/VTStatusItemMenuHandler.h"

using namespace UiTestSupport;

namespace {

// Destinations 2001 "alpha", 2002 "Beta" and 2003 "Cellar"; 2003 has a details line.
constexpr const char* kThreeDestinations = R"json({
  "computers": {"c2001": {"name": "alpha"}, "c2002": {"name": "Beta"},
                "c2003": {"guid": 2003, "name": "Cellar", "target": true}},
  "sets": {"a": {"destinations": [2001, 2002, 2003]}},
  "OutboundStats": {
    "d2003": {"guid": 2003, "connected": true, "backupReady": true, "backingUp": false,
              "validating": false,
              "11": {"setId": 11, "status": "SAFE", "completedRatio": 0.5,
                     "numFilesScanned": 10, "numBytesScanned": 3000000, "numRemainingFiles": 4,
                     "numRemainingBytes": 1500000, "lastBackupTime": 3999992800000,
                     "nextBackupTime": 4000010800000, "withinSchedule": true,
                     "selectedForBackup": false}}}
})json";

class StatusPanelTest : public UiTest {
  protected:
    void start() {
        panel_.setState(&state_);
        panel_.setMenuHandler(&handler_);
        panel_.awakeFromNib();
    }
    static VTCollectionViewComputerItem* row(const VTCollectionView* list, qint64 guid) {
        for (VTCollectionViewComputerItem* item : list->items()) {
            if (item->representedObject() && item->representedObject()->GUID() == guid) {
                return item;
            }
        }
        ADD_FAILURE() << "no row for " << guid;
        return nullptr;
    }
    static QAbstractButton* button(const VTCollectionViewComputerItem* item, int tag) {
        return qobject_cast<QAbstractButton*>(item->view()->viewWithTag(tag));
    }
    static QAbstractButton* playPauseButton(const VTCollectionViewComputerItem* item) {
        return item->view()->findChild<QAbstractButton*>(QStringLiteral("playPauseButton"));
    }
    // The tops of the rows and the list's height.
    static QList<int> layout(const VTCollectionView* list) {
        QList<int> tops;
        for (const VTCollectionViewComputerItem* item : list->items()) {
            tops << item->view()->y();
        }
        return tops << list->height();
    }

    VTStatusItemMenuHandler handler_;
    VTStatusItemMenuController panel_;
};

TEST_F(StatusPanelTest, RowsSortCaseSensitivelyAndKeepThePrototypesValuesUntilTheNextUpdate) {
    start();
    connectAndApply(kThreeDestinations);
    const VTCollectionView* list = panel_.destinationsView();
    QStringList names;
    for (const VTCollectionViewComputerItem* item : list->items()) {
        names << item->representedObject()->name();
    }
    EXPECT_EQ(names, QStringList({"Beta", "Cellar", "alpha"}));

    // The rows were made after this update's statistics: they show the prototype's values.
    const VTCollectionViewComputerItem* prototype = list->itemPrototype();
    for (const VTCollectionViewComputerItem* item : list->items()) {
        EXPECT_EQ(item->statusText(), prototype->statusText());
        EXPECT_EQ(item->statusText(), "Waiting for status...");
        EXPECT_EQ(item->statusDetailsText(), "");
        EXPECT_EQ(item->statusImagePath(), "");
        EXPECT_EQ(item->playPauseImage(), "invisible");
    }

    apply(kThreeDestinations);
    const VTCollectionViewComputerItem* cellar = row(list, 2003);
    EXPECT_EQ(cellar->statusText(), "Next backup in 3 hours");
    EXPECT_EQ(cellar->statusDetailsText(), "To do: 4 files (1.5 MB)");
    EXPECT_EQ(cellar->statusImagePath(), ":/images/computer_status_safe.png");
    EXPECT_EQ(cellar->playPauseImage(), "play");
    EXPECT_EQ(row(panel_.sourcesView(), 3001)->statusText(), sourceText(3001));
}

TEST_F(StatusPanelTest, DetailsChoiceSizesTheRowIsKeptPerComputerAndTheListFollows) {
    start();
    connectAndApply(kThreeDestinations);
    apply(kThreeDestinations);
    const VTCollectionView* list = panel_.destinationsView();
    // Details start hidden: three rows of 46 overlapping by 4.
    EXPECT_EQ(layout(list), QList<int>({0, 42, 84, 130}));

    VTCollectionViewComputerItem* cellar = row(list, 2003);
    ASSERT_TRUE(cellar->isShowDetailsButtonEnabled());
    button(cellar, VTCollectionViewComputerItem::kShowDetailsButtonTag)->click();
    EXPECT_FALSE(cellar->isDetailsHidden());
    EXPECT_EQ(cellar->view()->height(), 65);
    EXPECT_FALSE(cellar->view()
                     ->viewWithTag(VTCollectionViewComputerItem::kStatusDetailsTextFieldTag)
                     ->isHidden());
    // 46 + 65 + 46 - 8, and the row under the taller one moved down.
    EXPECT_EQ(layout(list), QList<int>({0, 42, 103, 149}));
    VTUserDefaults* defaults = defaults_.get();
    EXPECT_FALSE(defaults->boolForKey("hide_details_dest_2003"));
    EXPECT_TRUE(defaults->boolForKey("hide_details_dest_2001"));

    button(cellar, VTCollectionViewComputerItem::kShowDetailsButtonTag)->click();
    EXPECT_EQ(cellar->view()->height(), 46);
    EXPECT_EQ(layout(list), QList<int>({0, 42, 84, 130}));
    EXPECT_TRUE(defaults->boolForKey("hide_details_dest_2003"));

    // Shown again, the choice outlives the panel: a new one shows Cellar's details.
    button(cellar, VTCollectionViewComputerItem::kShowDetailsButtonTag)->click();
    VTStatusItemMenuController again;
    again.setState(&state_);
    again.awakeFromNib();
    apply(kThreeDestinations);
    EXPECT_FALSE(row(again.destinationsView(), 2003)->isDetailsHidden());
    EXPECT_TRUE(row(again.destinationsView(), 2001)->isDetailsHidden());
    EXPECT_EQ(layout(again.destinationsView()), QList<int>({0, 42, 103, 149}));
}

TEST_F(StatusPanelTest, PlayPauseImageFollowsTheDestinationAndASourceRowNeverShowsOne) {
    struct Case {
        const char* name;
        const char* overlay;
        const char* destinationImage;
    };
    const Case cases[] = {
        {"idle", "{}", "play"},
        {"selected for backup",
         R"({"OutboundStats": {"d2001": {"11": {"selectedForBackup": true}}}})", "pause"},
        {"backing up",
         R"({"OutboundStats": {"d2001": {"backingUp": true}},
             "InboundStats": {"s3001": {"backingUp": true}}})",
         "pause"},
        {"backing up but paused",
         R"({"OutboundStats": {"d2001": {"backingUp": true, "11": {"paused": true}}},
             "InboundStats": {"s3001": {"backingUp": true}}})",
         "play"},
        {"offline", R"({"OutboundStats": {"d2001": {"connected": false}},
                        "InboundStats": {"s3001": {"connected": false}}})",
         "play"},
        {"engine paused", R"({"resumeSystemTime": 4000010800000,
                              "OutboundStats": {"d2001": {"11": {"selectedForBackup": true}}}})",
         "pause"},
    };
    start();
    connectAndApply();
    for (const Case& c : cases) {
        apply(c.overlay);
        const VTCollectionViewComputerItem* destination = row(panel_.destinationsView(), 2001);
        EXPECT_EQ(destination->playPauseImage(), c.destinationImage) << c.name;
        EXPECT_TRUE(playPauseButton(destination)->isEnabled()) << c.name;
        const VTCollectionViewComputerItem* source = row(panel_.sourcesView(), 3001);
        EXPECT_EQ(source->playPauseImage(), "invisible") << c.name;
        EXPECT_FALSE(playPauseButton(source)->isEnabled()) << c.name;
    }
}

TEST_F(StatusPanelTest, ProgressBarShowsTheCompletionIsBusyWhileScanningAndMovesWhileActive) {
    struct Case {
        const char* name;
        const char* overlay;
        bool busy;  // indeterminate: no value shown
        int value;  // of 1000, when not busy
        bool animating;
    };
    // In this order, so that each kind of bar follows each other kind.
    const Case cases[] = {
        {"idle", "{}", false, 500, false},
        {"backing up", R"({"OutboundStats": {"d2001": {"backingUp": true}}})", false, 500, true},
        {"backing up, further",
         R"({"OutboundStats": {"d2001": {"backingUp": true, "11": {"completedRatio": 0.75}}}})",
         false, 750, true},
        {"scanning", R"({"OutboundStats": {"d2001": {"11": {"scanning": true}}}})", true, 0, true},
        {"idle again", "{}", false, 500, false},
        {"validating", R"({"OutboundStats": {"d2001": {"validating": true}}})", true, 0, true},
        {"backing up after validating", R"({"OutboundStats": {"d2001": {"backingUp": true}}})",
         false, 500, true},
        {"idle after backing up", "{}", false, 500, false},
    };
    start();
    connectAndApply();
    for (const Case& c : cases) {
        apply(c.overlay);
        const VTPausableProgressBar* bar =
            row(panel_.destinationsView(), 2001)->view()->progressBar();
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->isIndeterminate(), c.busy) << c.name;
        EXPECT_EQ(bar->isAnimating(), c.animating) << c.name;
        if (c.busy) {
            // A moving busy bar.
            EXPECT_EQ(bar->maximum(), 0) << c.name;
        } else {
            EXPECT_EQ(bar->maximum(), 1000) << c.name;
            EXPECT_EQ(bar->value(), c.value) << c.name;
        }
    }
}

TEST_F(StatusPanelTest, PanelIsOpenFromItsShowingToItsHiding) {
    start();
    for (QMenu* menu : {panel_.statusItemMenu(), panel_.contextMenu()}) {
        QList<bool> announced;
        const auto observation = QObject::connect(&handler_, &VTMenuHandler::isMenuOpenChanged,
                                                  [&](bool open) { announced << open; });
        menu->popup(QPoint(20, 20));
        EXPECT_TRUE(handler_.isMenuOpen()) << menu->objectName().toStdString();
        menu->hide();
        EXPECT_FALSE(handler_.isMenuOpen()) << menu->objectName().toStdString();
        EXPECT_EQ(announced, QList<bool>({true, false})) << menu->objectName().toStdString();
        QObject::disconnect(observation);
    }
}

}  // namespace
