// One connection against a scripted service on loopback: the opening exchange, framing of
// what arrives, registration, announcements and the failure paths.
#include <gtest/gtest.h>

#include <QTimer>

#include "messaging/AppStateMessage.h"
#include "messaging/BackupStatsSummaryMessage.h"
#include "messaging/SetMessageTypeMessage.h"
#include "messaging/StatsMessage.h"
#include "messaging/StatsRequestMessage.h"
#include "messaging/StatusQueryMessage.h"
#include "messaging/VTClassMessage.h"
#include "messaging/VTConnectionLegacy.h"
#include "messaging/VTConnectionNew.h"
#include "tests/TestSupport.h"

using namespace vttest;

namespace {

struct Recorder : VTConnectionDelegate {
    QList<Frame> frames;
    void messageReceived(const QByteArray& payload, qint16 msgID) override {
        frames.append({msgID, payload});
    }
};

class ConnectionTest : public ::testing::Test {
  protected:
    void SetUp() override { endpoint_.write(QByteArray::number(service_.port()) + ",s3cret\n"); }

    std::unique_ptr<VTConnectionNew> openConnection() {
        auto connection = std::make_unique<VTConnectionNew>(nullptr, QStringList{"VaultorMenuBar"});
        connection->setDelegate(&recorder_);
        connection->connect();
        return connection;
    }

    EndpointFolder endpoint_;
    FakeService service_;
    Recorder recorder_;
};

TEST_F(ConnectionTest, PreRegistersWithTheTokenInTheOpeningOrder) {
    auto connection = openConnection();
    ASSERT_TRUE(service_.waitForFrames(4));
    const auto& frames = service_.frames();
    EXPECT_EQ(frames[0].id, VTClassMessage::kMessageID);
    EXPECT_EQ(frames[0].payload, "-25845|com.keepery.service.ui.message.SetMessageTypeMessage");
    EXPECT_EQ(frames[1].id, SetMessageTypeMessage::kMessageID);
    EXPECT_TRUE(frames[1].payload.startsWith("com.keepery.service.ui.message.ITrayMessage|"));
    EXPECT_EQ(frames[2].payload, "15105|com.keepery.service.ui.message.StatusQueryMessage");
    EXPECT_EQ(frames[3].id, StatusQueryMessage::kMessageID);
    EXPECT_EQ(frames[3].payload, "VTT|s3cret");
    EXPECT_TRUE(connection->isSocketConnected());
    EXPECT_FALSE(connection->isConnected());

    // Registration of the current protocol: the type is already announced, the request not.
    service_.clearFrames();
    EXPECT_TRUE(connection->registerWithVTS());
    ASSERT_TRUE(service_.waitForFrames(3));
    EXPECT_EQ(service_.frames()[0].id, SetMessageTypeMessage::kMessageID);
    EXPECT_TRUE(service_.frames()[0].payload.startsWith(
        "com.keepery.service.ui.message.IBaseTrayMessage|"));
    EXPECT_EQ(service_.frames()[1].payload,
              "13086|com.keepery.service.ui.message.AppStateRequestMessage");
    EXPECT_EQ(service_.frames()[2].payload, QByteArray());
}

TEST_F(ConnectionTest, RegistrationCompletesOnTheFlagHeaderBeforeItsPayload) {
    auto connection = openConnection();
    ASSERT_TRUE(service_.waitForFrames(4));
    int announcements = 0;
    QObject::connect(connection.get(), &VTConnection::isConnectedChanged,
                     [&](bool) { ++announcements; });
    EXPECT_FALSE(connection->requestStatsUpdate());

    service_.sendFrame(StatsMessage::kMessageID, "{}");  // not the flag
    ASSERT_TRUE(waitFor([&] { return recorder_.frames.size() == 1; }));
    EXPECT_FALSE(connection->isConnected());

    service_.send(VTMessageHeader::headerWithID(AppStateMessage::kMessageID, 2).dataValue());
    ASSERT_TRUE(waitFor([&] { return connection->isConnected(); }));
    EXPECT_EQ(recorder_.frames.size(), 1);
    service_.send("{}");
    ASSERT_TRUE(waitFor([&] { return recorder_.frames.size() == 2; }));
    EXPECT_EQ(recorder_.frames[1].id, AppStateMessage::kMessageID);

    service_.sendFrame(AppStateMessage::kMessageID, "{}");  // already registered: no change
    ASSERT_TRUE(waitFor([&] { return recorder_.frames.size() == 3; }));
    EXPECT_EQ(announcements, 1);

    service_.clearFrames();
    EXPECT_TRUE(connection->requestStatsUpdate());
    EXPECT_TRUE(connection->requestStatsUpdate());
    ASSERT_TRUE(service_.waitForFrames(3));
    EXPECT_EQ(service_.frames()[0].id, VTClassMessage::kMessageID);  // announced once
    EXPECT_EQ(service_.frames()[1].id, StatsRequestMessage::kMessageID);
    EXPECT_EQ(service_.frames()[2].id, StatsRequestMessage::kMessageID);
}

TEST_F(ConnectionTest, SplitHeaderAndEmptyFramesAreAssembled) {
    auto connection = openConnection();
    ASSERT_TRUE(service_.waitForFrames(4));
    const QByteArray frame =
        VTMessageHeader::headerWithID(StatsMessage::kMessageID, 5).dataValue() + "{\"a\":";
    service_.send(frame.left(3));
    spin(50);
    service_.send(frame.mid(3, 5));
    spin(50);
    EXPECT_TRUE(recorder_.frames.isEmpty());
    service_.send(frame.mid(8) + VTMessageHeader::headerWithID(155, 0).dataValue());
    ASSERT_TRUE(waitFor([&] { return recorder_.frames.size() == 2; }));
    EXPECT_EQ(recorder_.frames[0].payload, "{\"a\":");
    EXPECT_EQ(recorder_.frames[1].id, 155);
    EXPECT_TRUE(recorder_.frames[1].payload.isEmpty());
}

TEST_F(ConnectionTest, StallingMidFrameLeavesTheEventLoopRunning) {
    auto connection = openConnection();
    ASSERT_TRUE(service_.waitForFrames(4));
    service_.send(VTMessageHeader::headerWithID(StatsMessage::kMessageID, 100).dataValue() + "{");
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(10);
    EXPECT_TRUE(waitFor([&] { return ticks >= 5; }));
    EXPECT_TRUE(recorder_.frames.isEmpty());
    EXPECT_TRUE(connection->isSocketConnected());
}

TEST_F(ConnectionTest, RefusedFrameLengthBreaksTheConnection) {
    auto connection = openConnection();
    ASSERT_TRUE(service_.waitForFrames(4));
    bool announcedDown = false;
    QObject::connect(connection.get(), &VTConnection::isConnectedChanged,
                     [&](bool up) { announcedDown = !up; });
    service_.send(QByteArray::fromHex("a5c2ffffff00"));
    ASSERT_TRUE(waitFor([&] { return announcedDown; }));
    EXPECT_FALSE(connection->isSocketConnected());
    EXPECT_TRUE(recorder_.frames.isEmpty());
}

TEST_F(ConnectionTest, EndOfStreamDisconnectsAndAReconnectAnnouncesAgain) {
    auto connection = openConnection();
    ASSERT_TRUE(service_.waitForFrames(4));
    service_.dropClient();
    ASSERT_TRUE(waitFor([&] { return !connection->isSocketConnected(); }));
    service_.clearFrames();
    connection->connect();
    ASSERT_TRUE(service_.waitForFrames(4));
    EXPECT_EQ(service_.frames()[0].id, VTClassMessage::kMessageID);
    EXPECT_EQ(service_.frames()[2].id, VTClassMessage::kMessageID);
    EXPECT_EQ(service_.connections(), 2);
}

TEST_F(ConnectionTest, NothingIsSentBeforeTheSocketIsUp) {
    VTConnectionNew connection(nullptr, QStringList{"VaultorMenuBar"});
    bool announced = false;
    QObject::connect(&connection, &VTConnection::isConnectedChanged,
                     [&](bool up) { announced = !up; });
    EXPECT_FALSE(connection.sendMessage(StatsRequestMessage()));
    connection.disconnect();
    EXPECT_TRUE(announced);  // announced although it never connected
    connection.connect();
    EXPECT_TRUE(connection.isSocketConnected());  // still opening
    EXPECT_FALSE(connection.sendMessage(StatsRequestMessage()));
}

TEST_F(ConnectionTest, WithoutATokenPreRegistrationStopsAfterItsFirstMessage) {
    endpoint_.write(QByteArray::number(service_.port()));
    auto connection = openConnection();
    ASSERT_TRUE(service_.waitForFrames(2));
    spin(100);
    EXPECT_EQ(service_.frames().size(), 2);
    EXPECT_EQ(service_.frames()[1].id, SetMessageTypeMessage::kMessageID);
}

TEST_F(ConnectionTest, LegacyRegistersWithComputersSummaryAndAlerts) {
    VTConnectionLegacy connection(nullptr, QStringList{"VaultorMenuBar"});
    connection.setDelegate(&recorder_);
    connection.connect();
    ASSERT_TRUE(service_.waitForFrames(4));
    service_.clearFrames();
    EXPECT_TRUE(connection.registerWithVTS());
    ASSERT_TRUE(service_.waitForFrames(6));
    EXPECT_EQ(service_.frames()[1].payload, "false");
    EXPECT_EQ(service_.frames()[3].id, 24549);
    EXPECT_EQ(service_.frames()[5].id, 6111);
    service_.sendFrame(BackupStatsSummaryMessage::kMessageID, "a|b");
    ASSERT_TRUE(waitFor([&] { return connection.isConnected(); }));
    service_.clearFrames();
    EXPECT_TRUE(connection.requestStatsUpdate());
    ASSERT_TRUE(service_.waitForFrames(1));
    EXPECT_EQ(service_.frames()[0].id, 24549);
}

}  // namespace
