// The supervisor: retry cycle, failure counting, replacement, legacy switch, sleep and wake.
#include <gtest/gtest.h>

#include <QRegularExpression>

#include "messaging/AppStateMessage.h"
#include "messaging/CheesyTimer.h"
#include "messaging/VTConnectionController.h"
#include "messaging/VTConnectionLegacy.h"
#include "messaging/VTConnectionNew.h"
#include "platform/VTSleepWatcher.h"
#include "tests/TestSupport.h"

using namespace vttest;

namespace {

struct SupervisionLog : VTConnectionControllerDelegate {
    QList<qint64> failures;
    int willCreate = 0;
    QList<VTConnection*> created;
    void willCreateNewConnection() override { ++willCreate; }
    void newConnectionCreated(VTConnection* connection) override { created.append(connection); }
    void onUnableToConnect(qint64 attempts) override { failures.append(attempts); }
};

class ConnectionControllerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        controller_.setDelegate(&log_);
        controller_.setRetryInterval(60);
        controller_.setConnectionArguments({"VaultorMenuBar"});
        controller_.setSleepWatcher(&sleep_);
    }
    void useService() { endpoint_.write(QByteArray::number(service_.port()) + ",tok"); }

    EndpointFolder endpoint_;
    FakeService service_;
    SupervisionLog log_;
    VTSleepWatcher sleep_;
    VTConnectionController controller_;
};

TEST_F(ConnectionControllerTest, FirstConnectWaitsOneIntervalAndUnregisteredChecksCount) {
    endpoint_.write(QByteArray::number(service_.port()));  // no token: never registers
    controller_.setRetryInterval(300);
    controller_.awakeFromNib();
    ASSERT_EQ(log_.created.size(), 1);
    EXPECT_TRUE(qobject_cast<VTConnectionNew*>(controller_.connection()));
    controller_.startConnectionTimers();
    spin(100);
    EXPECT_EQ(service_.connections(), 0);
    ASSERT_TRUE(waitFor([&] { return log_.failures.size() >= 3; }));
    EXPECT_EQ(log_.failures.mid(0, 3), (QList<qint64>{1, 2, 3}));
    EXPECT_EQ(service_.connections(), 1);  // the open socket is not opened again
}

TEST_F(ConnectionControllerTest, FailedAttemptsAreCountedAcrossReplacements) {
    // Refused: each attempt fails at once and is replaced. Open but never registered: replaced
    // after three checks. Either way the count tells how long the client has been without the
    // service, and no check is lost or counted twice.
    struct Case {
        const char* name;
        bool listening;
        int replacements;
    };
    for (const Case& c : {Case{"refused", false, 3}, Case{"open, never registered", true, 2}}) {
        SupervisionLog log;
        VTSleepWatcher sleep;
        VTConnectionController controller;
        controller.setDelegate(&log);
        controller.setRetryInterval(60);
        controller.setConnectionArguments({"VaultorMenuBar"});
        controller.setSleepWatcher(&sleep);
        endpoint_.write(c.listening ? QByteArray::number(service_.port()) + ",tok" : "1,tok");
        controller.awakeFromNib();
        controller.startConnectionTimers();
        ASSERT_TRUE(waitFor([&] { return log.created.size() > c.replacements; })) << c.name;
        ASSERT_GE(log.failures.size(), 3) << c.name;
        for (qsizetype check = 0; check < log.failures.size(); ++check) {
            EXPECT_EQ(log.failures[check], check + 1) << c.name;
        }
        EXPECT_EQ(log.willCreate, log.created.size()) << c.name;
    }
    EXPECT_GE(service_.connections(), 2);
}

TEST_F(ConnectionControllerTest, RegistrationAndWakeStartTheCountAgain) {
    endpoint_.write(QByteArray::number(service_.port()));  // no token: never registers
    controller_.setRetryInterval(300);
    controller_.awakeFromNib();
    controller_.startConnectionTimers();
    ASSERT_TRUE(waitFor([&] { return controller_.connectionCheckFailures() >= 4; }));
    emit sleep_.willSleep();
    emit sleep_.didWake();
    EXPECT_EQ(controller_.connectionCheckFailures(), 0);

    LogRecorder recorder;
    useService();
    ASSERT_TRUE(waitFor([&] {
        return std::any_of(service_.frames().begin(), service_.frames().end(),
                           [](const Frame& frame) { return frame.payload == "VTT|tok"; });
    }));
    service_.sendFrame(AppStateMessage::kMessageID, "{}");
    ASSERT_TRUE(waitFor([&] { return controller_.connection()->isConnected(); }));
    EXPECT_EQ(controller_.connectionCheckFailures(), 0);
    const QStringList connected = recorder.messages().filter("Connected after ");
    ASSERT_EQ(connected.size(), 1);
    EXPECT_TRUE(QRegularExpression("^Connected after [2-9][0-9]* attempts\\.$")
                    .match(connected[0])
                    .hasMatch())
        << connected[0].toStdString();
}

TEST_F(ConnectionControllerTest, AnUnregisteredConnectionIsReplacedAndReadsTheEndpointFileAgain) {
    endpoint_.write(QByteArray::number(service_.port()) + ",stale");  // the service ignores it
    controller_.awakeFromNib();
    controller_.startConnectionTimers();
    ASSERT_TRUE(service_.waitForFrames(4));
    FakeService moved;
    endpoint_.write(QByteArray::number(moved.port()) + ",fresh");
    ASSERT_TRUE(moved.waitForFrames(4));
    EXPECT_EQ(moved.frames()[3].payload, "VTT|fresh");
    EXPECT_GE(log_.failures.size(), 3);
}

TEST_F(ConnectionControllerTest, RegistrationStopsTheTimersAndLossRestartsThem) {
    useService();
    controller_.awakeFromNib();
    controller_.startConnectionTimers();
    ASSERT_TRUE(service_.waitForFrames(4));
    service_.sendFrame(AppStateMessage::kMessageID, "{}");
    ASSERT_TRUE(waitFor([&] { return controller_.connection()->isConnected(); }));
    EXPECT_FALSE(controller_.timersAreRunning());
    const int failuresBefore = log_.failures.size();
    spin(200);
    EXPECT_EQ(log_.failures.size(), failuresBefore);

    VTConnection* registered = controller_.connection();
    service_.dropClient();
    ASSERT_TRUE(waitFor([&] { return controller_.connection() != registered; }));
    EXPECT_TRUE(controller_.timersAreRunning());
    EXPECT_EQ(controller_.connectionCheckFailures(), 0);
    ASSERT_TRUE(waitFor([&] { return service_.connections() == 2; }));
}

TEST_F(ConnectionControllerTest, LegacySwitchMakesEveryLaterConnectionLegacy) {
    useService();
    controller_.awakeFromNib();
    controller_.startConnectionTimers();
    controller_.switchToLegacyMessaging();
    EXPECT_TRUE(qobject_cast<VTConnectionLegacy*>(controller_.connection()));
    EXPECT_TRUE(controller_.timersAreRunning());
    EXPECT_EQ(controller_.connectionCheckFailures(), 0);
    emit sleep_.willSleep();
    emit sleep_.didWake();
    EXPECT_TRUE(qobject_cast<VTConnectionLegacy*>(controller_.connection()));
    ASSERT_TRUE(service_.waitForFrames(4));
    VTConnection* current = controller_.connection();
    service_.dropClient();
    ASSERT_TRUE(waitFor([&] { return controller_.connection() != current; }));
    EXPECT_TRUE(qobject_cast<VTConnectionLegacy*>(controller_.connection()));
}

TEST_F(ConnectionControllerTest, SleepDropsTheConnectionAndWakeBuildsANewOne) {
    useService();
    controller_.setRetryInterval(200);  // no connection lives through three checks here
    controller_.awakeFromNib();
    controller_.startConnectionTimers();
    ASSERT_TRUE(service_.waitForFrames(4));
    VTConnection* beforeSleep = controller_.connection();
    const int created = log_.created.size();
    emit sleep_.willSleep();
    EXPECT_EQ(controller_.connection(), beforeSleep);  // torn down, still current
    EXPECT_FALSE(beforeSleep->isSocketConnected());
    EXPECT_EQ(log_.created.size(), created);
    emit sleep_.didWake();
    EXPECT_EQ(log_.created.size(), created + 1);
    ASSERT_TRUE(waitFor([&] { return service_.connections() == 2; }));
    service_.sendFrame(AppStateMessage::kMessageID, "{}");
    ASSERT_TRUE(waitFor([&] { return controller_.connection()->isConnected(); }));
    // The timers started before the sleep never reopen the connection that sleep dropped.
    spin(400);
    EXPECT_EQ(service_.connections(), 2);
    EXPECT_TRUE(controller_.connection()->isSocketConnected());
}

TEST(CheesyTimerTest, RunsAtOnceThenRepeatsAndStopsAfterInvalidate) {
    QObject target;
    int runs = 0;
    auto timer = CheesyTimer::repeatingTimerWithInterval(0.02, &target, [&] { ++runs; });
    EXPECT_EQ(runs, 1);
    ASSERT_TRUE(waitFor([&] { return runs >= 3; }));
    timer->invalidate();
    const int atInvalidate = runs;
    spin(150);
    EXPECT_LE(runs, atInvalidate + 1);
}

TEST(CheesyTimerTest, GoneTargetKeepsReschedulingWithoutRunning) {
    int runs = 0;
    auto target = std::make_unique<QObject>();
    auto timer = CheesyTimer::repeatingTimerWithInterval(0.01, target.get(), [&] { ++runs; });
    target.reset();
    spin(60);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(timer->isRunning());
    timer->invalidate();
}

}  // namespace
