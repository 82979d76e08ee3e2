// The panel's rows drawn to PNG at 1x and 2x, on the desktop's light palette and on a dark
// one, written under the build folder for people to look at; each picture must hold a drawing
// and each row's texts must fit their fields.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QSet>

#include "tests/ui/UiTestSupport.h"
#include "ui/menu/VTCollectionView.h"
#include "ui/menu/VTCollectionViewComputerItem.h"
#include "ui/menu/VTElidedLabel.h"
#include "ui/menu/VTStatusItemMenuController.h"
#include "ui/menu/VTStatusItemMenuHandler.h"

using namespace UiTestSupport;

namespace {

// A cloud destination backing up (details shown), one offline, one paused with a long name,
// and a source sending to us.
constexpr const char* kBusyAccount = R"json({
  "computers": {"c2001": {"name": "Vaultor Cloud"},
                "c2003": {"guid": 2003, "name": "Cellar Server in the Basement", "target": true}},
  "sets": {"a": {"destinations": [2001, 2002, 2003]}},
  "OutboundStats": {
    "d2001": {"backingUp": true, "completedRateInBytesPerSec": 1775000,
              "11": {"selectedForBackup": true, "estimatedTimeRemainingInSec": 1680}},
    "d2002": {"connected": false},
    "d2003": {"guid": 2003, "connected": true, "backupReady": true, "backingUp": false,
              "validating": false,
              "11": {"setId": 11, "status": "SAFE", "completedRatio": 0.3,
                     "numFilesScanned": 10, "numRemainingFiles": 7, "numRemainingBytes": 9000000,
                     "lastBackupTime": 3999992800000, "nextBackupTime": 4000010800000,
                     "withinSchedule": true, "selectedForBackup": false, "paused": true,
                     "resumeTime": 4000003600000}}},
  "InboundStats": {"s3001": {"backingUp": true, "receiveRateInBytesPerSec": 125000}}
})json";

QPalette darkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
    dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Highlight, QColor(0x3d, 0x7a, 0xd6));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    return dark;
}

// Draws the widget at the device pixel ratio and writes it; answers the picture written.
QImage grabTo(QWidget* widget, qreal ratio, const QString& path) {
    QPixmap pixmap(widget->size() * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(widget->palette().color(QPalette::Window));
    widget->render(&pixmap);
    EXPECT_TRUE(pixmap.save(path)) << path.toStdString();
    return QImage(path);
}

int distinctColours(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            colours.insert(image.pixel(x, y));
        }
    }
    return static_cast<int>(colours.size());
}

class RowGrabTest : public UiTest {
  protected:
    void TearDown() override {
        QApplication::setPalette(desktopPalette_);
        UiTest::TearDown();
    }
    const QPalette desktopPalette_ = QApplication::palette();
};

TEST_F(RowGrabTest, RowsDrawAtOneAndTwoTimesOnLightAndDarkPanelsWithTheirTextsInFull) {
    const QString folder = QStringLiteral(VT_UI_GRAB_DIR);
    ASSERT_TRUE(QDir().mkpath(folder));
    defaults_.get()->setObject(false, QStringLiteral("hide_details_dest_2001"));
    state_.setIsConnected(true);
    for (const QString& look : {QStringLiteral("light"), QStringLiteral("dark")}) {
        QApplication::setPalette(look == QLatin1String("dark") ? darkPalette() : desktopPalette_);
        VTStatusItemMenuHandler handler;
        VTStatusItemMenuController panel;
        panel.setState(&state_);
        panel.setMenuHandler(&handler);
        panel.awakeFromNib();
        apply(kBusyAccount);
        apply(kBusyAccount);
        // Connected: the application controller hides the problem line.
        panel.problemMenuItem()->setVisible(false);
        QMenu* menu = panel.statusItemMenu();
        menu->popup(QPoint(0, 0));

        QList<VTCollectionViewComputerItem*> rows = panel.destinationsView()->items();
        rows.append(panel.sourcesView()->items());
        ASSERT_EQ(rows.size(), 4);
        for (VTCollectionViewComputerItem* row : rows) {
            const QString name = row->representedObject()->name();
            QWidget* view = row->view();
            for (const qreal ratio : {1.0, 2.0}) {
                const QString path = QStringLiteral("%1/row-%2-%3-%4x.png")
                                         .arg(folder, look, name.section(' ', 0, 0).toLower())
                                         .arg(ratio);
                const QImage picture = grabTo(view, ratio, path);
                EXPECT_EQ(picture.size(), view->size() * ratio) << path.toStdString();
                EXPECT_GT(distinctColours(picture), 20) << path.toStdString();
            }
            // The row spans its list, which the menu sized: its controls are inside the panel.
            EXPECT_EQ(view->width(), view->parentWidget()->width()) << name.toStdString();
            auto* playPause = view->findChild<QWidget*>(QStringLiteral("playPauseButton"));
            EXPECT_LE(playPause->mapTo(menu, QPoint(playPause->width(), 0)).x(), menu->width())
                << name.toStdString();
            // The status and details lines are drawn in full; a name too long for its place
            // ends in an ellipsis, never cut mid-letter.
            const auto* nameLabel = view->findChild<VTElidedLabel*>(QStringLiteral("nameLabel"));
            const bool nameFits = nameLabel->fontMetrics().horizontalAdvance(name) <=
                                  nameLabel->contentsRect().width();
            if (nameFits) {
                EXPECT_EQ(nameLabel->shownText(), name);
            } else {
                EXPECT_TRUE(nameLabel->shownText().endsWith(QChar(0x2026))) << name.toStdString();
            }
            for (const char* field : {"statusTextField", "statusDetailsTextField"}) {
                const auto* label = view->findChild<QLabel*>(QLatin1String(field));
                if (label->isVisibleTo(view)) {
                    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()),
                              label->contentsRect().width())
                        << look.toStdString() << " " << name.toStdString() << ": " << field << " \""
                        << label->text().toStdString() << "\"";
                }
            }
        }
        for (const qreal ratio : {1.0, 2.0}) {
            const QString path = QStringLiteral("%1/panel-%2-%3x.png").arg(folder, look).arg(ratio);
            EXPECT_EQ(grabTo(menu, ratio, path).size(), menu->size() * ratio);
        }
        menu->hide();
    }
}

}  // namespace
