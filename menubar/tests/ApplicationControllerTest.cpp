// The application controller's problem line, connection following and polling modes, and
// the utilities it leans on (themed images, delayed calls).
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "app/MasterControlProgram.h"
#include "app/VTAppWiring.h"
#include "app/VTHeadlessMenuHandler.h"
#include "app/VTUtils.h"
#include "messaging/VTConnectionController.h"
#include "messaging/VTMessageHandler.h"
#include "messaging/VTStatsRequestor.h"
#include "messaging/VTVTSController.h"
#include "model/VTVaultorState.h"
#include "platform/VTUserDefaults.h"
#include "tests/TestSupport.h"

using namespace vttest;

namespace {

class ApplicationControllerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        VTUtils::setUserDefaults(&defaults_);
        VTAppWiring::Options options;
        options.connectionArguments = QStringList{"VaultorMenuBar"};
        options.retryIntervalMs = 100000;  // nothing connects on its own here
        options.menuHandler = &menu_;
        wiring_ = VTAppWiring::build(&owner_, options);
    }
    void TearDown() override { VTUtils::setUserDefaults(nullptr); }

    EndpointFolder endpoint_;
    QTemporaryDir dir_;
    VTUserDefaults defaults_{dir_.filePath("defaults.ini")};
    VTHeadlessMenuHandler menu_;
    QObject owner_;
    VTAppWiring wiring_;
};

TEST_F(ApplicationControllerTest, ThirdFailedCheckReplacesConnectingWithUnableToConnect) {
    MasterControlProgram& mcp = *wiring_.mcp;
    EXPECT_EQ(mcp.problemText(), "Connecting to backup service...");
    EXPECT_TRUE(mcp.problemVisible());
    mcp.onUnableToConnect(1);
    mcp.onUnableToConnect(2);
    EXPECT_EQ(mcp.problemText(), "Connecting to backup service...");
    EXPECT_TRUE(wiring_.state->isStarting());
    mcp.onUnableToConnect(3);
    EXPECT_EQ(mcp.problemText(), "Unable to connect to backup service.");
    EXPECT_FALSE(wiring_.state->isStarting());
}

TEST_F(ApplicationControllerTest, EveryLossOfARegisteredConnectionIsLogged) {
    LogRecorder recorder;
    for (int loss = 0; loss < 3; ++loss) {
        VTConnection* connection = wiring_.connectionController->connection();
        connection->setIsConnected(true);
        connection->disconnect();  // heard here before the supervisor replaces it
        ASSERT_NE(wiring_.connectionController->connection(), connection);
    }
    const QStringList told = recorder.messages().filter("CONNECTED **");
    EXPECT_EQ(told, (QStringList{"** WE ARE CONNECTED **", "** WE ARE __NOT__ CONNECTED **",
                                 "** WE ARE CONNECTED **", "** WE ARE __NOT__ CONNECTED **",
                                 "** WE ARE CONNECTED **", "** WE ARE __NOT__ CONNECTED **"}));
    EXPECT_FALSE(wiring_.state->isConnected());
    EXPECT_FALSE(wiring_.statsRequestor->isPolling());
}

TEST_F(ApplicationControllerTest, NoDestinationsShowsUntilDestinationsArrive) {
    MasterControlProgram& mcp = *wiring_.mcp;
    mcp.onConnected();
    EXPECT_FALSE(mcp.problemVisible());
    mcp.onDestinationsChanged(0);
    EXPECT_TRUE(mcp.problemVisible());
    EXPECT_EQ(mcp.problemText(), "No destinations configured.");
    mcp.onDestinationsChanged(2);
    EXPECT_FALSE(mcp.problemVisible());
}

TEST_F(ApplicationControllerTest, CollaboratorsFollowTheCurrentConnectionOnly) {
    VTConnection* first = wiring_.connectionController->connection();
    ASSERT_TRUE(first);
    EXPECT_EQ(wiring_.mcp->connection(), first);
    EXPECT_EQ(wiring_.messageHandler->connection(), first);
    EXPECT_EQ(wiring_.statsRequestor->connection(), first);
    EXPECT_EQ(wiring_.vtsController->connection(), first);

    first->disconnect();  // observed: replaced at once
    VTConnection* second = wiring_.connectionController->connection();
    ASSERT_NE(second, first);
    EXPECT_EQ(wiring_.messageHandler->connection(), second);
    EXPECT_EQ(wiring_.vtsController->connection(), second);

    // The state mirrors the new connection, and no longer the old one.
    second->setIsConnected(true);
    EXPECT_TRUE(wiring_.state->isConnected());
    EXPECT_TRUE(wiring_.statsRequestor->isPolling());
    first->setIsConnected(false);
    EXPECT_TRUE(wiring_.state->isConnected());
    EXPECT_EQ(wiring_.connectionController->connection(), second);
}

TEST_F(ApplicationControllerTest, MenuOpeningSwitchesPollingOnlyWhileRegistered) {
    menu_.setOpen(true);  // not registered: nothing happens
    EXPECT_FALSE(wiring_.statsRequestor->isPolling());
    VTConnection* connection = wiring_.connectionController->connection();
    connection->setIsConnected(true);
    EXPECT_TRUE(wiring_.statsRequestor->isPolling());
    menu_.setOpen(false);
    EXPECT_TRUE(wiring_.statsRequestor->isPolling());
    connection->disconnect();
    EXPECT_FALSE(wiring_.statsRequestor->isPolling());
}

TEST_F(ApplicationControllerTest, AMenuOpenBeforeRegistrationPollsFullStatisticsOnceRegistered) {
    menu_.setOpen(true);
    VTConnection* first = wiring_.connectionController->connection();
    first->setIsConnected(true);
    EXPECT_TRUE(wiring_.statsRequestor->isPollingFullStats());
    // And again on the connection that replaces it, with the menu still open.
    first->disconnect();
    EXPECT_FALSE(wiring_.statsRequestor->isPolling());
    wiring_.connectionController->connection()->setIsConnected(true);
    EXPECT_TRUE(wiring_.statsRequestor->isPollingFullStats());
    menu_.setOpen(false);
    EXPECT_TRUE(wiring_.statsRequestor->isPolling());
    EXPECT_FALSE(wiring_.statsRequestor->isPollingFullStats());
}

TEST_F(ApplicationControllerTest, ReplacingTheMenuHandlerMovesTheObservation) {
    VTHeadlessMenuHandler other;
    wiring_.mcp->setMenuHandler(&other);
    wiring_.connectionController->connection()->setIsConnected(true);
    wiring_.statsRequestor->stopRequestsTimer();
    menu_.setOpen(true);  // the old handler is no longer heard
    EXPECT_FALSE(wiring_.statsRequestor->isPolling());
    other.setOpen(true);
    EXPECT_TRUE(wiring_.statsRequestor->isPolling());
}

TEST_F(ApplicationControllerTest, DelayedCallsRunLaterAndNotAfterTheirTargetIsGone) {
    int runs = 0;
    auto target = std::make_unique<QObject>();
    VTUtils::delayWithObject(
        target.get(), [&] { ++runs; }, 0.01);
    VTUtils::delayWithObject(
        &owner_, [&] { ++runs; }, 0.01);
    EXPECT_EQ(runs, 0);
    target.reset();
    EXPECT_TRUE(waitFor([&] { return runs == 1; }));
    spin(50);
    EXPECT_EQ(runs, 1);
}

}  // namespace
