// Where the panel opens: next to an icon in a panel on any edge of the screen, at the cursor
// when the tray host does not say where its icon is, and always wholly on the screen.
#include <gtest/gtest.h>

#include "ui/VTPopupPlacement.h"

namespace {

TEST(PopupPlacement, PanelOpensBesideTheIconOrAtTheCursorAndStaysOnTheScreen) {
    struct Case {
        const char* name;
        QRect icon;
        QPoint cursor;
        QRect available;
        QPoint expected;
    };
    const QRect screen(0, 0, 1920, 1080);
    // A second screen right of the first, its panel 30 px high at the top.
    const QRect secondScreen(1920, 30, 1280, 994);
    const QPoint anywhere(700, 500);
    const Case cases[] = {
        {"top edge, far right: below, pulled in", QRect(1890, 2, 24, 24), anywhere, screen,
         QPoint(1500, 26)},
        {"bottom edge, left: above", QRect(10, 1054, 24, 24), anywhere, screen, QPoint(10, 754)},
        {"left edge: right of it", QRect(2, 500, 24, 24), anywhere, screen, QPoint(26, 500)},
        {"right edge, low: left of it, pulled up", QRect(1894, 900, 24, 24), anywhere, screen,
         QPoint(1474, 780)},
        {"top edge of a second screen", QRect(3170, 3, 24, 24), anywhere, secondScreen,
         QPoint(2780, 30)},
        {"no icon: at the cursor", QRect(), QPoint(100, 100), screen, QPoint(100, 100)},
        {"no icon, cursor in the bottom right corner: flipped", QRect(), QPoint(1900, 1070), screen,
         QPoint(1480, 770)},
        {"an empty icon rectangle counts as none", QRect(1890, 2, 0, 0), QPoint(100, 100), screen,
         QPoint(100, 100)},
    };
    const QSize popup(420, 300);
    for (const Case& c : cases) {
        const QPoint at = VTPopupPlacement::topLeft(c.icon, c.cursor, popup, c.available);
        EXPECT_EQ(at, c.expected) << c.name;
        const QRect placed(at, popup);
        EXPECT_TRUE(c.available.contains(placed)) << c.name;
        if (c.icon.isValid() && !c.icon.isEmpty()) {
            EXPECT_FALSE(placed.intersects(c.icon)) << c.name;
        }
    }
}

TEST(PopupPlacement, PopupLargerThanTheScreenStartsAtItsTopLeft) {
    const QRect screen(0, 0, 800, 600);
    EXPECT_EQ(VTPopupPlacement::topLeft(QRect(770, 570, 24, 24), QPoint(), QSize(900, 700), screen),
              QPoint(0, 0));
}

}  // namespace
