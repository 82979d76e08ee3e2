// The whole client (controller, supervisor, handler, requestor, commands) against the
// service simulator on loopback.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QRegularExpression>

#include "app/MasterControlProgram.h"
#include "app/VTAppWiring.h"
#include "app/VTRepeatedLines.h"
#include "app/VTUtils.h"
#include "messaging/VTConnectionController.h"
#include "messaging/VTConnectionLegacy.h"
#include "messaging/VTMessageHandler.h"
#include "messaging/VTVTSController.h"
#include "model/VTVaultorState.h"
#include "platform/VTUserDefaults.h"
#include "tests/SimulatorProcess.h"

using namespace vttest;

namespace {

class ClientSimulatorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        originalInfo_ = VTUtils::bundleInfoDictionary();
        QVariantMap info = originalInfo_;
        info["kVTDefaultStatsPollInterval"] = "1";
        info["kVTDefaultStatsPollIntervalMenuOpen"] = "1";
        VTUtils::overrideBundleInfoDictionary(info);
        VTUtils::setUserDefaults(&defaults_);
        VTRepeatedLines::install(&repeatedLines_);
    }
    void TearDown() override {
        delete owner_;
        VTRepeatedLines::install(nullptr);
        VTUtils::setUserDefaults(nullptr);
        VTUtils::overrideBundleInfoDictionary(originalInfo_);
        qputenv("XDG_DATA_HOME", previousDataHome_);
    }

    // Starts the simulator and a client pointed at its data folder.
    SimulatorProcess& startSimulator(const QStringList& arguments) {
        simulator_ = std::make_unique<SimulatorProcess>(arguments);
        EXPECT_NE(simulator_->waitUntilListening(), 0);
        return *simulator_;
    }
    void startClient(const QString& dataHome, int retryIntervalMs = 200) {
        qputenv("XDG_DATA_HOME", dataHome.toUtf8());
        owner_ = new QObject;
        VTAppWiring::Options options;
        options.connectionArguments = QStringList{"VaultorMenuBar"};
        options.retryIntervalMs = retryIntervalMs;
        wiring_ = VTAppWiring::build(owner_, options);
        wiring_.messageHandler->setQuitFunction(
            [this](const QString& text) { quits_.append(text); });
        wiring_.mcp->startApp();
    }
    bool waitUntilRegistered(int timeoutMs = 20000) {
        return waitFor(
            [&] {
                return wiring_.state->isConnected() && !wiring_.state->destinations().isEmpty();
            },
            timeoutMs);
    }
    // The frame lines the simulator received, without the leading "recv ".
    QStringList received() const {
        QStringList lines;
        for (const QString& line : simulator_->frameLines()) {
            if (line.startsWith("recv ")) {
                lines.append(line.mid(5));
            }
        }
        return lines;
    }

    // The endpoint file of a running simulator.
    static QByteArray endpointOf(const SimulatorProcess& simulator) {
        QFile file(simulator.dataHome() + "/Vaultor/.ui_info");
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QByteArray previousDataHome_ = qgetenv("XDG_DATA_HOME");
    // Lines told in earlier tests are news again here.
    QElapsedTimer clock_ = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    VTRepeatedLines repeatedLines_{[this] { return clock_.elapsed(); }};
    QTemporaryDir settingsDir_;
    VTUserDefaults defaults_{settingsDir_.filePath("defaults.ini")};
    QVariantMap originalInfo_;
    std::unique_ptr<SimulatorProcess> simulator_;
    QObject* owner_ = nullptr;
    VTAppWiring wiring_;
    QStringList quits_;
};

TEST_F(ClientSimulatorTest, OpeningExchangeIsExactAndRegistersOnTheAppState) {
    auto& simulator = startSimulator({"--log", "--destinations", "2", "--sources", "1"});
    startClient(simulator.dataHome());
    ASSERT_TRUE(waitUntilRegistered());
    ASSERT_TRUE(simulator.waitForLine("send -15227 AppStateMessage"));
    QStringList lines = simulator.frameLines().mid(0, 9);
    ASSERT_EQ(lines.size(), 9);
    EXPECT_EQ(
        lines[0],
        "recv -32669 VTClassMessage -25845|com.keepery.service.ui.message.SetMessageTypeMessage");
    EXPECT_TRUE(lines[1].startsWith(
        "recv -25845 SetMessageTypeMessage com.keepery.service.ui.message.ITrayMessage|"));
    EXPECT_EQ(lines[2], "send -14619 SetMessageTypeResultMessage true");
    EXPECT_EQ(lines[3],
              "recv -32669 VTClassMessage 15105|com.keepery.service.ui.message.StatusQueryMessage");
    EXPECT_TRUE(lines[4].startsWith("recv 15105 StatusQueryMessage VTT|"));
    EXPECT_TRUE(lines[5].startsWith("send 5423 StatusTrayMessage "));
    EXPECT_TRUE(lines[6].startsWith(
        "recv -25845 SetMessageTypeMessage com.keepery.service.ui.message.IBaseTrayMessage|"));
    EXPECT_EQ(lines[7], "send -14619 SetMessageTypeResultMessage true");
    EXPECT_EQ(
        lines[8],
        "recv -32669 VTClassMessage 13086|com.keepery.service.ui.message.AppStateRequestMessage");
    EXPECT_EQ(wiring_.state->destinations().size(), 2);
    EXPECT_FALSE(wiring_.mcp->problemVisible());
    // Polling follows registration: summaries and a full statistics request.
    ASSERT_TRUE(simulator.waitForLine("send -23102 StatsMessage"));
    ASSERT_TRUE(simulator.waitForLine("send 95 BackupStatsSummaryMessage"));
    // Each type is announced once on this connection.
    QMap<QString, int> announcements;
    for (const QString& line : received()) {
        if (line.startsWith("-32669 ")) {
            ++announcements[line.section(' ', 2).section('|', 0, 0)];
        }
    }
    for (auto count = announcements.begin(); count != announcements.end(); ++count) {
        EXPECT_EQ(count.value(), 1) << count.key().toStdString();
    }
}

TEST_F(ClientSimulatorTest, ClientComesBackAfterTheServiceRestarts) {
    auto& first = startSimulator({"--log"});
    const QString dataHome = first.dataHome();
    startClient(dataHome);
    ASSERT_TRUE(waitUntilRegistered());
    VTConnection* before = wiring_.connectionController->connection();
    QTemporaryDir keep;
    simulator_->stop();
    ASSERT_TRUE(waitFor([&] { return !wiring_.state->isConnected(); }));
    EXPECT_NE(wiring_.connectionController->connection(), before);
    EXPECT_TRUE(wiring_.mcp->problemVisible());
    EXPECT_EQ(wiring_.mcp->problemText(), "Connecting to backup service...");

    SimulatorProcess second({"--log"}, dataHome);
    ASSERT_NE(second.waitUntilListening(), 0);
    ASSERT_TRUE(waitUntilRegistered());
    ASSERT_TRUE(second.waitForLine("recv -32669 VTClassMessage 13086|"));
    EXPECT_FALSE(wiring_.mcp->problemVisible());
}

TEST_F(ClientSimulatorTest, WithoutATokenTheThirdFailedCheckShowsTheProblem) {
    auto& simulator = startSimulator({"--log"});
    // Keep the simulator's port but drop its token.
    const QByteArray port = endpointOf(simulator).split(',').value(0);
    EndpointFolder folder;
    folder.write(port);
    startClient(folder.path());
    ASSERT_TRUE(waitFor(
        [&] { return wiring_.mcp->problemText() == "Unable to connect to backup service."; }));
    EXPECT_TRUE(wiring_.mcp->problemVisible());
    EXPECT_FALSE(wiring_.state->isStarting());
    EXPECT_GE(wiring_.connectionController->connectionCheckFailures(), 3);
    EXPECT_FALSE(simulator.hasLine("recv 15105"));
}

TEST_F(ClientSimulatorTest, WithoutAServiceTheLineSaysSoTheLogStaysQuietAndTheClientComesUp) {
    // The client as shipped, checking every 3 seconds, on a port where nothing listens.
    quint16 freePort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        freePort = probe.serverPort();
    }
    QVariantMap info = VTUtils::bundleInfoDictionary();
    info["VTHost"] = "127.0.0.1";
    info["VTPort"] = freePort;
    VTUtils::overrideBundleInfoDictionary(info);
    EndpointFolder folder;
    LogRecorder recorder;
    QStringList problems;
    QElapsedTimer since;
    since.start();
    startClient(folder.path(), VTConnectionController::kRetryIntervalMs);
    QObject::connect(wiring_.mcp, &MasterControlProgram::problemChanged, [&] {
        problems.append(wiring_.mcp->problemVisible() ? wiring_.mcp->problemText() : "");
    });
    const QString unable = "Unable to connect to backup service.";
    ASSERT_TRUE(waitFor([&] { return wiring_.mcp->problemText() == unable; }, 12000));
    EXPECT_FALSE(wiring_.state->isStarting());

    // Thirty seconds of refusals: the line stays, the log has a handful of lines.
    spin(static_cast<int>(30000 - since.elapsed()));
    EXPECT_TRUE(wiring_.mcp->problemVisible());
    // Once said, it is not taken back while the service stays away.
    const QStringList afterwards = problems.mid(problems.indexOf(unable));
    EXPECT_EQ(afterwards.count(unable), afterwards.size()) << problems.join(" / ").toStdString();
    const QStringList lines = recorder.messages();
    EXPECT_LE(lines.size(), 20) << lines.join("\n").toStdString();
    EXPECT_GE(wiring_.connectionController->connectionCheckFailures(), 9);

    // The service starts: registered within 4 seconds of its endpoint file.
    SimulatorProcess simulator({}, folder.path());
    ASSERT_NE(simulator.waitUntilListening(), 0);
    ASSERT_TRUE(waitFor([&] { return wiring_.state->isConnected(); }, 4000));
    EXPECT_FALSE(wiring_.mcp->problemVisible());
    const QStringList connected =
        recorder.messages().filter(QRegularExpression("^Connected after"));
    ASSERT_EQ(connected.size(), 1);
    EXPECT_GE(connected[0].section(' ', 2, 2).toInt(), 9) << connected[0].toStdString();
}

TEST_F(ClientSimulatorTest, AWrongTokenThenTheRightOneRegistersWithoutARestart) {
    auto& simulator = startSimulator({"--log"});
    const QByteArray endpoint = endpointOf(simulator);
    QList<QByteArray> fields = endpoint.split(',');
    ASSERT_EQ(fields.size(), 3);
    fields[1] = "stale-token";
    EndpointFolder folder;
    folder.write(fields.join(','));
    startClient(folder.path());
    // The service ignores the token; the connection is replaced and pre-registers again.
    const QString wrong = "recv 15105 StatusQueryMessage VTT|stale-token";
    ASSERT_TRUE(waitFor([&] { return simulator.frameLines().filter(wrong).size() >= 2; }));
    EXPECT_FALSE(wiring_.state->isConnected());
    folder.write(endpoint);
    ASSERT_TRUE(waitUntilRegistered());
    EXPECT_FALSE(wiring_.mcp->problemVisible());
}

TEST_F(ClientSimulatorTest, AServiceThatClosesIsAnEndOfStreamNotAWarning) {
    auto& first = startSimulator({});
    const QString dataHome = first.dataHome();
    startClient(dataHome);
    LogRecorder recorder;
    for (int loss = 1; loss <= 2; ++loss) {
        ASSERT_TRUE(waitUntilRegistered());
        const qsizetype before = recorder.records().size();
        simulator_->stop();
        ASSERT_TRUE(
            waitFor([&] { return recorder.count("** WE ARE __NOT__ CONNECTED **") == loss; }));
        const QList<LogRecorder::Record> records = recorder.records().mid(before);
        const auto lost = std::find_if(records.begin(), records.end(), [](const auto& record) {
            return record.message == "** WE ARE __NOT__ CONNECTED **";
        });
        bool closeTold = false;
        for (auto record = records.begin(); record != lost; ++record) {
            EXPECT_EQ(record->flag, VTLogger::kFlagInfo) << record->message.toStdString();
            closeTold |= record->message == "The service closed the connection.";
        }
        EXPECT_TRUE(closeTold || loss > 1);  // the second time it is a repeat
        simulator_ = std::make_unique<SimulatorProcess>(QStringList{}, dataHome);
        ASSERT_NE(simulator_->waitUntilListening(), 0);
    }
}

TEST_F(ClientSimulatorTest, LegacyServiceRegistersOnTheSummary) {
    auto& simulator = startSimulator({"--log", "--legacy"});
    startClient(simulator.dataHome());
    ASSERT_TRUE(waitFor([&] { return wiring_.state->isConnected(); }, 20000));
    EXPECT_TRUE(qobject_cast<VTConnectionLegacy*>(wiring_.connectionController->connection()));
    EXPECT_TRUE(wiring_.state->isUsingLegacyMessaging());
    // The simulator's log lines reach us through its output pipe, possibly after the frames.
    EXPECT_TRUE(simulator.waitForLine("recv -19328 GetComputersMessage false"));
    EXPECT_TRUE(simulator.waitForLine("send 95 BackupStatsSummaryMessage"));
    // Registered for good: no further replacement of the connection.
    VTConnection* registered = wiring_.connectionController->connection();
    spin(800);
    EXPECT_EQ(wiring_.connectionController->connection(), registered);
}

TEST_F(ClientSimulatorTest, StallingServiceDoesNotFreezeTheClient) {
    auto& simulator = startSimulator({"--stall-mid-frame"});
    startClient(simulator.dataHome());
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);
    ASSERT_TRUE(
        waitFor([&] { return wiring_.connectionController->connectionCheckFailures() >= 3; }));
    EXPECT_GE(ticks, 10);
    EXPECT_FALSE(wiring_.state->isConnected());
}

TEST_F(ClientSimulatorTest, GarbageFrameCausesAReconnectNotACrash) {
    auto& simulator = startSimulator({"--garbage"});
    startClient(simulator.dataHome());
    ASSERT_TRUE(waitFor([&] { return wiring_.mcp->problemVisible(); }));
    VTConnection* first = wiring_.connectionController->connection();
    ASSERT_TRUE(waitFor([&] { return wiring_.connectionController->connection() != first; }));
}

TEST_F(ClientSimulatorTest, CommandsReachTheServiceWithTheirExactTexts) {
    auto& simulator = startSimulator({"--log", "--destinations", "2"});
    startClient(simulator.dataHome());
    ASSERT_TRUE(waitUntilRegistered());
    ASSERT_TRUE(waitFor([&] { return !wiring_.state->sets().isEmpty(); }));
    const qint64 guid = simulator.guidOf("destination", 1);
    ASSERT_NE(guid, 0);
    wiring_.vtsController->pauseDestination(guid, 1440);
    ASSERT_TRUE(simulator.waitForLine(
        QStringLiteral("recv -30964 CommandTrayRequestMessage pause.target %1 1440").arg(guid)));
    wiring_.vtsController->pauseService(60);
    ASSERT_TRUE(simulator.waitForLine("recv -7397 PauseSystemMessage 60"));
    wiring_.vtsController->resumeService();
    ASSERT_TRUE(simulator.waitForLine("recv -18469 ResumeSystemMessage"));
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    wiring_.vtsController->resumeDestination(guid);
    const QString prefix =
        QStringLiteral("recv -30964 CommandTrayRequestMessage pause.target %1 -").arg(guid);
    ASSERT_TRUE(simulator.waitForLine(prefix));
    QString resumeLine;
    for (const QString& line : simulator.frameLines()) {
        if (line.startsWith(prefix)) {
            resumeLine = line;
        }
    }
    const QStringList words = resumeLine.section(' ', 3).split(' ');
    ASSERT_GE(words.size(), 3);
    const qint64 minutes = words[2].toLongLong();
    EXPECT_LE(minutes, VTVTSController::resumeMinutes(before));
    EXPECT_GE(minutes, VTVTSController::resumeMinutes(QDateTime::currentSecsSinceEpoch()));
}

TEST_F(ClientSimulatorTest, ShutdownQuitsOnlyWhenTheSettingSaysSo) {
    for (bool quitOnShutdown : {false, true}) {
        QVariantMap info = VTUtils::bundleInfoDictionary();
        info["VTQuitOnShutdownMessage"] = quitOnShutdown;
        VTUtils::overrideBundleInfoDictionary(info);
        quits_.clear();
        auto& simulator = startSimulator({"--log", "--shutdown-after", "2"});
        startClient(simulator.dataHome());
        ASSERT_TRUE(simulator.waitForLine("send 14493 ShutdownMessage", 20000));
        spin(300);
        EXPECT_EQ(quits_.size(), quitOnShutdown ? 1 : 0);
        delete owner_;
        owner_ = nullptr;
    }
    EXPECT_EQ(quits_.value(0), "Received shutdown message -- exiting.");
}

}  // namespace
