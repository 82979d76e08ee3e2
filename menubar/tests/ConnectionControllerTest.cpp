// The supervisor: retry cycle, failure counting, replacement, legacy switch, sleep and wake.
#include <gtest/gtest.h>

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

TEST_F(ConnectionControllerTest, RefusedConnectionIsReplacedAndTheCountStartsAgain) {
    endpoint_.write("1,tok");  // nothing listens on port 1
    controller_.awakeFromNib();
    controller_.startConnectionTimers();
    ASSERT_TRUE(waitFor([&] { return log_.created.size() >= 3; }));
    for (qint64 count : log_.failures) {
        EXPECT_LE(count, 2);
    }
    EXPECT_EQ(log_.willCreate, log_.created.size());
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
    // The timers started before the sleep never reopen the connection that sleep dropped.
    spin(200);
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
