// The message handler on its own: what each frame does to the state, which repeats it
// skips, when it asks for full statistics, and that a bad frame drops only itself.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "app/VTHeadlessMenuHandler.h"
#include "app/VTUtils.h"
#include "messaging/AlertCountMessage.h"
#include "messaging/AppStateMessage.h"
#include "messaging/BackupStatsSummaryMessage.h"
#include "messaging/ComputerConnectedMessage.h"
#include "messaging/ComputerDisconnectedMessage.h"
#include "messaging/ShutdownMessage.h"
#include "messaging/StatsMessage.h"
#include "messaging/StatusTrayMessage.h"
#include "messaging/VTApplicationController.h"
#include "messaging/VTConnection.h"
#include "messaging/VTMessageHandler.h"
#include "model/VTVaultorState.h"
#include "platform/VTUserDefaults.h"
#include "tests/TestSupport.h"
#include "tests/fixtures/model/ModelFixtures.h"

using namespace vttest;

namespace {

// A connection that only counts what the handler asks of it.
class CountingConnection : public VTConnection {
  public:
    CountingConnection() : VTConnection(AppStateMessage::kMessageID, nullptr, QStringList{"t"}) {}
    bool registerWithVTS() override {
        ++registrations;
        return true;
    }
    bool requestStatsUpdate() override {
        ++fullRequests;
        return true;
    }
    int registrations = 0;
    int fullRequests = 0;
};

struct ControllerLog : VTApplicationController {
    QList<quint64> destinationCounts;
    int legacySwitches = 0;
    void onDestinationsChanged(quint64 count) override { destinationCounts.append(count); }
    void switchToLegacyMessaging() override { ++legacySwitches; }
};

QByteArray summary(int activities, int legacyStatus) {
    return QStringLiteral("%1|0|0|0|%2|0|0|0|0|0|0|0|0|0")
        .arg(activities)
        .arg(legacyStatus)
        .toUtf8();
}

class MessageHandlerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        handler_.setConnection(&connection_);
        handler_.setMenuHandler(&menu_);
        QObject::connect(&state_, &VTVaultorState::lastUpdatedChanged, [this] { ++updates_; });
        handler_.setQuitFunction([this](const QString& text) { quits_.append(text); });
    }
    void receive(qint16 id, const QByteArray& payload) { handler_.messageReceived(payload, id); }

    QTemporaryDir dir_;
    VTUserDefaults defaults_{dir_.filePath("defaults.ini")};
    VTVaultorState state_{&defaults_};
    CountingConnection connection_;
    ControllerLog controller_;
    VTHeadlessMenuHandler menu_;
    VTMessageHandler handler_{&controller_, &state_};
    int updates_ = 0;
    QStringList quits_;
};

TEST_F(MessageHandlerTest, IdenticalStatsAreSkippedOnlyWhileTheMenuIsClosed) {
    const QByteArray stats = R"({"OutboundStats": {}})";
    receive(StatsMessage::kMessageID, stats);
    receive(StatsMessage::kMessageID, stats);
    EXPECT_EQ(updates_, 1);
    menu_.setOpen(true);
    receive(StatsMessage::kMessageID, stats);
    receive(StatsMessage::kMessageID, stats);
    EXPECT_EQ(updates_, 3);
    EXPECT_EQ(handler_.statsMessageCount(), 4);
}

TEST_F(MessageHandlerTest, IdenticalAppStateStillReportsDestinationsAndAsksForStats) {
    receive(AppStateMessage::kMessageID, ModelFixtures::kAppState);
    const int afterFirst = updates_;
    receive(AppStateMessage::kMessageID, ModelFixtures::kAppState);
    EXPECT_EQ(updates_, afterFirst);
    ASSERT_EQ(controller_.destinationCounts.size(), 2);
    EXPECT_EQ(controller_.destinationCounts[1], controller_.destinationCounts[0]);
    EXPECT_GT(controller_.destinationCounts[0], 0u);
    EXPECT_EQ(connection_.fullRequests, 2);
}

TEST_F(MessageHandlerTest, IdenticalSummaryHasNoEffectEvenWithTheMenuOpen) {
    menu_.setOpen(true);
    receive(BackupStatsSummaryMessage::kMessageID, summary(0, 2));
    const int afterFirst = updates_;
    receive(BackupStatsSummaryMessage::kMessageID, summary(0, 2));
    EXPECT_EQ(updates_, afterFirst);
    EXPECT_EQ(connection_.fullRequests, 1);
}

TEST_F(MessageHandlerTest, IdleSafeSummariesAskForFullStatsOncePerIdleSpell) {
    receive(BackupStatsSummaryMessage::kMessageID, summary(0, 2));
    receive(BackupStatsSummaryMessage::kMessageID, summary(4, 2));
    receive(BackupStatsSummaryMessage::kMessageID, summary(16, 2));
    EXPECT_EQ(connection_.fullRequests, 1);
    receive(BackupStatsSummaryMessage::kMessageID, summary(1, 2));  // sending
    receive(BackupStatsSummaryMessage::kMessageID, summary(0, 2));
    EXPECT_EQ(connection_.fullRequests, 2);
    receive(BackupStatsSummaryMessage::kMessageID, summary(4, 1));  // warning resets too
    receive(BackupStatsSummaryMessage::kMessageID, summary(0, 2));
    EXPECT_EQ(connection_.fullRequests, 3);
}

TEST_F(MessageHandlerTest, StatusTrayRegistersOnceAndVersionZeroSwitchesToLegacy) {
    receive(StatusTrayMessage::kMessageID, "running|true|Base|Vaultor Pro|1");
    EXPECT_EQ(connection_.registrations, 1);
    EXPECT_TRUE(state_.isUpgrading());
    EXPECT_EQ(state_.appName(), "Vaultor Pro");
    connection_.setIsConnected(true);
    receive(StatusTrayMessage::kMessageID, "running|false|Base|Vaultor|1");
    EXPECT_EQ(connection_.registrations, 1);  // registered: left alone

    connection_.setIsConnected(false);
    receive(StatusTrayMessage::kMessageID, "running");  // too short: version 0
    EXPECT_EQ(controller_.legacySwitches, 1);
    EXPECT_FALSE(state_.isUpgrading());
    EXPECT_EQ(state_.appName(), "Vaultor");

    // Once on the legacy protocol, version 0 registers instead of switching again.
    state_.setIsUsingLegacyMessaging(true);
    receive(StatusTrayMessage::kMessageID, "running|false|Base|Vaultor|0");
    EXPECT_EQ(controller_.legacySwitches, 1);
    EXPECT_EQ(connection_.registrations, 2);
}

TEST_F(MessageHandlerTest, ComputersComeAndGoAndUnknownGuidsChangeNothing) {
    receive(AppStateMessage::kMessageID, ModelFixtures::kAppState);
    VTComputer* destination = state_.computerForGUID(2001);
    ASSERT_TRUE(destination && destination->stats());
    receive(ComputerDisconnectedMessage::kMessageID, "2001");
    EXPECT_FALSE(destination->stats()->isConnected());
    receive(ComputerConnectedMessage::kMessageID, "2001");
    EXPECT_TRUE(destination->stats()->isConnected());
    receive(ComputerDisconnectedMessage::kMessageID, "987654");
    receive(ComputerDisconnectedMessage::kMessageID, "");
    EXPECT_TRUE(destination->stats()->isConnected());
}

TEST_F(MessageHandlerTest, AlertsFollowTheCountAndEmptyCountsAreDropped) {
    receive(AlertCountMessage::kMessageID, "2");
    EXPECT_TRUE(state_.alert());
    receive(AlertCountMessage::kMessageID, "");
    EXPECT_TRUE(state_.alert());
    receive(AlertCountMessage::kMessageID, "0");
    EXPECT_FALSE(state_.alert());
}

TEST_F(MessageHandlerTest, BadFramesDropOnlyThemselves) {
    receive(StatsMessage::kMessageID, QByteArray::fromHex("7bff7d"));  // not UTF-8
    receive(BackupStatsSummaryMessage::kMessageID, "1|2|3");           // too few tokens
    receive(AppStateMessage::kMessageID, "{not json");
    receive(12345, "whatever");
    receive(-14619, "true");
    receive(StatsMessage::kMessageID, R"({"OutboundStats": {}})");
    EXPECT_GE(updates_, 1);
    EXPECT_EQ(handler_.statsMessageCount(), 2);
}

TEST_F(MessageHandlerTest, ShutdownQuitsOnlyWhenTheSettingSaysSo) {
    const QVariantMap original = VTUtils::bundleInfoDictionary();
    VTUtils::overrideBundleInfoDictionary({{"VTQuitOnShutdownMessage", false}});
    receive(ShutdownMessage::kMessageID, "");
    EXPECT_TRUE(quits_.isEmpty());
    VTUtils::overrideBundleInfoDictionary({{"VTQuitOnShutdownMessage", "YES"}});
    receive(ShutdownMessage::kMessageID, "");
    EXPECT_EQ(quits_, QStringList{"Received shutdown message -- exiting."});
    VTUtils::overrideBundleInfoDictionary(original);
}

}  // namespace
