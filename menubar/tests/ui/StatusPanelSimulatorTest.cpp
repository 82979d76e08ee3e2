// The tray client as the program wires it, against the service simulator: the panel's
// play/pause buttons and account item, checked by the command texts the service receives and
// the addresses handed to the desktop.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>

#include "app/MasterControlProgram.h"
#include "app/VTUtils.h"
#include "messaging/VTMessageHandler.h"
#include "model/VTDestination.h"
#include "model/VTDestinationStats.h"
#include "model/VTVaultorState.h"
#include "platform/VTUserDefaults.h"
#include "tests/SimulatorProcess.h"
#include "tests/TestSupport.h"
#include "ui/VTQtDesktopServices.h"
#include "ui/VTTrayWiring.h"
#include "ui/menu/VTCollectionView.h"
#include "ui/menu/VTCollectionViewComputerItem.h"
#include "ui/menu/VTStatusItemMenuController.h"
#include "ui/menu/VTStatusItemMenuHandler.h"

using namespace vttest;

namespace {

// The desktop, recording instead of opening.
class RecordingDesktop : public VTQtDesktopServices {
  public:
    void openURL(const QUrl& url) override { opened << url.toString(); }
    bool launchApplication(const QString&) override { return false; }
    QStringList opened;
};

class StatusPanelSimulatorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        originalInfo_ = VTUtils::bundleInfoDictionary();
        QVariantMap info = originalInfo_;
        info["kVTDefaultStatsPollInterval"] = "1";
        info["kVTDefaultStatsPollIntervalMenuOpen"] = "1";
        VTUtils::overrideBundleInfoDictionary(info);
        VTUtils::setUserDefaults(&defaults_);
    }
    void TearDown() override {
        delete owner_;
        VTUtils::setDesktopServices(nullptr);
        VTUtils::setUserDefaults(nullptr);
        VTUtils::overrideBundleInfoDictionary(originalInfo_);
        qputenv("XDG_DATA_HOME", previousDataHome_);
    }

    SimulatorProcess& startSimulator(const QStringList& arguments) {
        simulator_ = std::make_unique<SimulatorProcess>(arguments);
        EXPECT_NE(simulator_->waitUntilListening(), 0);
        return *simulator_;
    }
    // The client with its tray and panel, registered with the simulator.
    bool startClient() {
        qputenv("XDG_DATA_HOME", simulator_->dataHome().toUtf8());
        owner_ = new QObject;
        VTAppWiring::Options options;
        options.connectionArguments = QStringList{"VaultorMenuBar"};
        options.retryIntervalMs = 200;
        tray_ = VTTrayWiring::build(owner_, options, &desktop_);
        tray_.core.messageHandler->setQuitFunction([](const QString&) {});
        tray_.core.mcp->startApp();
        return waitFor(
            [&] {
                return tray_.core.state->isConnected() &&
                       !tray_.core.state->destinations().isEmpty();
            },
            20000);
    }
    VTStatusItemMenuController* panel() const { return tray_.menuController; }
    // The panel's item of that object name (the interface description's action).
    QAction* panelAction(const char* name) const {
        QList<QAction*> actions = panel()->statusItemMenu()->actions();
        actions.append(panel()->pauseMenuItems());
        for (QAction* action : actions) {
            if (action->objectName() == QLatin1String(name)) {
                return action;
            }
        }
        ADD_FAILURE() << "no action " << name;
        return nullptr;
    }
    const VTDestinationStats* stats(qint64 guid) const {
        for (const VTDestination* destination : tray_.core.state->destinations()) {
            if (destination->GUID() == guid) {
                return destination->stats();
            }
        }
        return nullptr;
    }
    VTCollectionViewComputerItem* row(qint64 guid) const {
        for (VTCollectionViewComputerItem* item : panel()->destinationsView()->items()) {
            if (item->representedObject() && item->representedObject()->GUID() == guid) {
                return item;
            }
        }
        return nullptr;
    }
    // Clicks the play/pause button of the destination's row once the row shows one (a new
    // row has none until its statistics are next updated).
    void clickPlayPause(qint64 guid) {
        ASSERT_TRUE(waitFor([&] {
            return row(guid) && row(guid)->playPauseImage() != "invisible";
        })) << "no play/pause button for "
            << guid;
        row(guid)->view()->findChild<QAbstractButton*>(QStringLiteral("playPauseButton"))->click();
    }
    // The frames the simulator received, without "recv ".
    QStringList received() const {
        QStringList lines;
        for (const QString& line : simulator_->frameLines()) {
            if (line.startsWith("recv ")) {
                lines << line.mid(5);
            }
        }
        return lines;
    }
    // Waits for a received frame starting with `prefix` after the first `after` received ones;
    // answers the whole line, or an empty string.
    QString waitForReceived(const QString& prefix, qsizetype after) {
        QString found;
        waitFor([&] {
            const QStringList lines = received();
            for (qsizetype i = after; i < lines.size(); ++i) {
                if (lines[i].startsWith(prefix)) {
                    found = lines[i];
                    return true;
                }
            }
            return false;
        });
        return found;
    }

    QByteArray previousDataHome_ = qgetenv("XDG_DATA_HOME");
    // The tray applies "start at login" as it starts.
    vttest::ConfigFolder config_;
    QTemporaryDir settingsDir_;
    VTUserDefaults defaults_{settingsDir_.filePath("defaults.ini")};
    QVariantMap originalInfo_;
    RecordingDesktop desktop_;
    std::unique_ptr<SimulatorProcess> simulator_;
    QObject* owner_ = nullptr;
    VTTrayWiring tray_;
};

TEST_F(StatusPanelSimulatorTest, PlayPauseSendsWhatTheDestinationsStateCallsFor) {
    // The same seed gives the same world: learn the third destination's GUID to take it
    // offline in the run under test.
    qint64 offline = 0;
    {
        SimulatorProcess probe({"--destinations", "3"});
        ASSERT_NE(probe.waitUntilListening(), 0);
        offline = probe.guidOf("destination", 2);
    }
    ASSERT_NE(offline, 0);
    startSimulator({"--log", "--destinations", "3", "--offline", QString::number(offline)});
    ASSERT_TRUE(startClient());
    ASSERT_TRUE(waitFor([&] { return panel()->destinationsView()->items().size() == 3; }));
    const QString command = QStringLiteral("-30964 CommandTrayRequestMessage pause.target %1");

    // Backing up: paused for a day.
    qint64 busy = 0;
    ASSERT_TRUE(waitFor([&] {
        for (const VTDestination* destination : tray_.core.state->destinations()) {
            const VTDestinationStats* s = destination->stats();
            if (s->isConnected() && s->isBackingUp() && !s->isPaused()) {
                busy = destination->GUID();
            }
        }
        return busy != 0;
    }));
    clickPlayPause(busy);
    EXPECT_EQ(waitForReceived(command.arg(busy), 0), command.arg(busy) + " 1440");

    // Paused: resumed, with minutes that put the pause in the past.
    ASSERT_TRUE(waitFor([&] { return stats(busy)->isPaused(); }));
    qsizetype mark = received().size();
    clickPlayPause(busy);
    EXPECT_NE(waitForReceived(command.arg(busy) + " -", mark), "");

    // Not connected and not backing up: the button does nothing.
    ASSERT_FALSE(stats(offline)->isConnected());
    ASSERT_FALSE(stats(offline)->isBackingUp());
    mark = received().size();
    clickPlayPause(offline);

    // Connected and not backing up (the whole engine paused): selected for backup, which
    // resumes the engine first.
    panelAction("actionPause60")->trigger();
    ASSERT_NE(waitForReceived("-7397 PauseSystemMessage 60", mark), "");
    qint64 idle = 0;
    ASSERT_TRUE(waitFor([&] {
        for (const VTDestination* destination : tray_.core.state->destinations()) {
            const VTDestinationStats* s = destination->stats();
            if (tray_.core.state->isPaused() && s->isConnected() && !s->isBackingUp() &&
                !s->isPaused()) {
                idle = destination->GUID();
            }
        }
        return idle != 0;
    }));
    clickPlayPause(idle);
    ASSERT_NE(waitForReceived(command.arg(idle) + " -", mark), "");
    EXPECT_NE(waitForReceived("-18469 ResumeSystemMessage", mark), "");
    // Everything after the offline click came in order on the one connection.
    EXPECT_EQ(received().mid(mark).filter(command.arg(offline)), QStringList());
}

TEST_F(StatusPanelSimulatorTest, AccountItemIsHeldOffStrictlyAndEveryReplyOpensItsAddressOnce) {
    startSimulator({"--log"});
    ASSERT_TRUE(startClient());
    qint64 now = 1'000'000;
    tray_.menuHandler->setClock([&] { return now; });
    struct Phase {
        const char* name;
        QVariant holdOff;  // seconds; invalid: the key is absent
        QList<qint64> clicks;
        int sent;
    };
    const Phase phases[] = {
        {"30 s: 0, 10 and 31 send at 0 and 31", 30, {0, 10, 31}, 2},
        {"30 s: exactly at the end is still held off", 30, {61, 62}, 1},
        {"no key: only a click in the same second is dropped", QVariant(), {100, 100, 101}, 2},
    };
    int sentSoFar = 0;
    for (const Phase& phase : phases) {
        QVariantMap info = VTUtils::bundleInfoDictionary();
        if (phase.holdOff.isValid()) {
            info["kManageAccountPageHoldoffInterval"] = phase.holdOff;
        } else {
            info.remove("kManageAccountPageHoldoffInterval");
        }
        VTUtils::overrideBundleInfoDictionary(info);
        const qsizetype mark = received().size();
        for (const qint64 at : phase.clicks) {
            now = 1'000'000 + at;
            panelAction("actionAccount")->trigger();
        }
        // A command after the clicks marks the end of what they sent.
        panelAction("actionResume")->trigger();
        ASSERT_NE(waitForReceived("-18469 ResumeSystemMessage", mark), "") << phase.name;
        const qsizetype requests =
            received()
                .mid(mark)
                .filter(QRegularExpression("^8871 WebLoginKeyTrayRequestMessage$"))
                .size();
        EXPECT_EQ(requests, phase.sent) << phase.name;
        sentSoFar += phase.sent;
    }

    // Each reply opens exactly the address the service sent.
    ASSERT_TRUE(waitFor([&] { return desktop_.opened.size() >= sentSoFar; }));
    QStringList keys;
    for (const QString& line : simulator_->frameLines()) {
        if (line.startsWith("send -17837 WebLoginKeyTrayResponseMessage ")) {
            keys << QJsonDocument::fromJson(line.section(' ', 3).toUtf8())
                        .object()
                        .value("webLoginKey")
                        .toString();
        }
    }
    EXPECT_EQ(desktop_.opened, keys);
    EXPECT_EQ(keys.size(), sentSoFar);
    EXPECT_TRUE(keys.value(0).startsWith("http://127.0.0.1:")) << keys.value(0).toStdString();
}

}  // namespace
