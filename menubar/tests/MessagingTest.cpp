// The framed protocol's bytes: headers, token and JSON payloads, every catalogue type.
#include <gtest/gtest.h>

#include <QJsonObject>
#include <atomic>
#include <thread>

#include "messaging/AlertCountMessage.h"
#include "messaging/AlertRequestMessage.h"
#include "messaging/AppStateMessage.h"
#include "messaging/AppStateRequestMessage.h"
#include "messaging/BackupStatsSummaryMessage.h"
#include "messaging/CommandTrayRequestMessage.h"
#include "messaging/CommandTrayResponseMessage.h"
#include "messaging/ComputerConnectedMessage.h"
#include "messaging/ComputerDisconnectedMessage.h"
#include "messaging/ComputersMessage.h"
#include "messaging/GetBackupStatsSummaryMessage.h"
#include "messaging/GetComputersMessage.h"
#include "messaging/PauseSystemMessage.h"
#include "messaging/ResumeSystemMessage.h"
#include "messaging/SetMessageTypeMessage.h"
#include "messaging/ShutdownMessage.h"
#include "messaging/StatsMessage.h"
#include "messaging/StatsRequestMessage.h"
#include "messaging/StatusQueryMessage.h"
#include "messaging/StatusTrayMessage.h"
#include "messaging/TrayPopupMessage.h"
#include "messaging/VTClassMessage.h"
#include "messaging/VTMessageCatalogue.h"
#include "messaging/VTMessageHeader.h"
#include "messaging/WebLoginKeyTrayRequestMessage.h"
#include "messaging/WebLoginKeyTrayResponseMessage.h"

namespace {

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray data;
    for (int value : values) {
        data.append(static_cast<char>(value));
    }
    return data;
}

template <typename Message>
std::unique_ptr<Message> received(const QByteArray& payload) {
    auto message = VTMessageCatalogue::incomingMessage(Message::kMessageID, payload);
    auto* typed = dynamic_cast<Message*>(message.get());
    if (!typed) {
        return nullptr;
    }
    message.release();
    return std::unique_ptr<Message>(typed);
}

TEST(VTMessageHeaderTest, WritesIdAndLengthBigEndian) {
    EXPECT_EQ(VTMessageHeader::headerWithID(-32669, 5).dataValue(),
              bytes({0x80, 0x63, 0x00, 0x00, 0x00, 0x05}));
    EXPECT_EQ(VTMessageHeader::headerWithID(0x1234, 0x01020304).dataValue(),
              bytes({0x12, 0x34, 0x01, 0x02, 0x03, 0x04}));
}

TEST(VTMessageHeaderTest, ReadsSignedIdAndLength) {
    const auto allOnes = VTMessageHeader::headerWithData(bytes({0xFF, 0xFF, 0, 0, 0, 0}));
    EXPECT_EQ(allOnes.msgID(), -1);
    EXPECT_EQ(allOnes.msgLength(), 0);
    EXPECT_TRUE(allOnes.isValid());
    EXPECT_EQ(VTMessageHeader::headerWithData(bytes({0x80, 0x63, 0, 0, 0, 1})).msgID(),
              VTClassMessage::kMessageID);
    EXPECT_EQ(VTMessageHeader::headerWithData(bytes({0x00, 0x5F, 0, 0, 0, 1})).msgID(),
              BackupStatsSummaryMessage::kMessageID);
}

TEST(VTMessageHeaderTest, LengthFromASizeKeepsItsLow32Bits) {
    EXPECT_EQ(VTMessageHeader::headerWithID(1, 0x1'0000'0007ull).msgLength(), 7);
    EXPECT_EQ(VTMessageHeader::headerWithID(1, 0xFFFF'FFFFull).msgLength(), -1);
}

TEST(VTMessageHeaderTest, NegativeOrHugeLengthsAreInvalid) {
    EXPECT_FALSE(VTMessageHeader::headerWithData(bytes({0, 1, 0x80, 0, 0, 0})).isValid());
    EXPECT_FALSE(VTMessageHeader::headerWithData(bytes({0, 1, 0xFF, 0xFF, 0xFF, 0xFF})).isValid());
    EXPECT_FALSE(VTMessageHeader::headerWithData(bytes({0, 1, 0x7F, 0xFF, 0xFF, 0xFF})).isValid());
    EXPECT_FALSE(VTMessageHeader(1, VTMessageHeader::kMaximumPayloadLength + 1).isValid());
    EXPECT_TRUE(VTMessageHeader(1, VTMessageHeader::kMaximumPayloadLength).isValid());
    EXPECT_FALSE(VTMessageHeader::headerWithData(bytes({0, 1, 0, 0, 0})).isValid());
}

TEST(VTMessageTest, ToShortKeepsTheLow16BitsSigned) {
    EXPECT_EQ(VTMessage::toShort(0xA0694CE32EF88063ull), -32669);
    EXPECT_EQ(VTMessage::toShort(0x000000000000005Full), 95);
    EXPECT_EQ(VTMessage::toShort(0xFFFFFFFFFFFF7FFFull), 32767);
}

TEST(VTMessageTest, EveryCatalogueTypeHasItsIdAndWireName) {
    struct Row {
        qint16 id;
        int hex;
        QString className;
    };
    const Row rows[] = {
        {VTClassMessage::kMessageID, 0x8063, VTClassMessage::staticClassName()},
        {SetMessageTypeMessage::kMessageID, 0x9B0B, SetMessageTypeMessage::staticClassName()},
        {StatusQueryMessage::kMessageID, 0x3B01, StatusQueryMessage::staticClassName()},
        {GetComputersMessage::kMessageID, 0xB480, GetComputersMessage::staticClassName()},
        {GetBackupStatsSummaryMessage::kMessageID, 0x5FE5,
         GetBackupStatsSummaryMessage::staticClassName()},
        {AlertRequestMessage::kMessageID, 0x17DF, AlertRequestMessage::staticClassName()},
        {StatsRequestMessage::kMessageID, 0xE7EA, StatsRequestMessage::staticClassName()},
        {AppStateRequestMessage::kMessageID, 0x331E, AppStateRequestMessage::staticClassName()},
        {PauseSystemMessage::kMessageID, 0xE31B, PauseSystemMessage::staticClassName()},
        {ResumeSystemMessage::kMessageID, 0xB7DB, ResumeSystemMessage::staticClassName()},
        {WebLoginKeyTrayRequestMessage::kMessageID, 0x22A7,
         WebLoginKeyTrayRequestMessage::staticClassName()},
        {CommandTrayRequestMessage::kMessageID, 0x870C,
         CommandTrayRequestMessage::staticClassName()},
        {StatusTrayMessage::kMessageID, 0x152F, StatusTrayMessage::staticClassName()},
        {ShutdownMessage::kMessageID, 0x389D, ShutdownMessage::staticClassName()},
        {AlertCountMessage::kMessageID, 0x009B, AlertCountMessage::staticClassName()},
        {ComputerConnectedMessage::kMessageID, 0xFD27, ComputerConnectedMessage::staticClassName()},
        {ComputerDisconnectedMessage::kMessageID, 0x0A1A,
         ComputerDisconnectedMessage::staticClassName()},
        {ComputersMessage::kMessageID, 0xFD63, ComputersMessage::staticClassName()},
        {BackupStatsSummaryMessage::kMessageID, 0x005F,
         BackupStatsSummaryMessage::staticClassName()},
        {StatsMessage::kMessageID, 0xA5C2, StatsMessage::staticClassName()},
        {AppStateMessage::kMessageID, 0xC485, AppStateMessage::staticClassName()},
        {CommandTrayResponseMessage::kMessageID, 0x283F,
         CommandTrayResponseMessage::staticClassName()},
        {WebLoginKeyTrayResponseMessage::kMessageID, 0xBA53,
         WebLoginKeyTrayResponseMessage::staticClassName()},
        {TrayPopupMessage::kMessageID, 0x2222, TrayPopupMessage::staticClassName()},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(static_cast<quint16>(row.id), row.hex) << row.className.toStdString();
    }
    EXPECT_EQ(StatusQueryMessage().messageClassName(),
              "com.keepery.service.ui.message.StatusQueryMessage");
    EXPECT_EQ(AppStateMessage().messageClassName(),
              "com.keepery.service.ui.message.AppStateMessage");
    EXPECT_EQ(CoreComputerTokenMessage().messageID(), 0);
    EXPECT_EQ(VTMessage().messageID(), 0);
}

TEST(VTMessageTest, IncomingIdsBuildTheirOwnTypesAndOthersNothing) {
    EXPECT_NE(received<AppStateMessage>("{}"), nullptr);
    EXPECT_NE(received<ComputerDisconnectedMessage>("7"), nullptr);
    EXPECT_EQ(VTMessageCatalogue::incomingMessage(StatsRequestMessage::kMessageID, {}), nullptr);
    EXPECT_EQ(VTMessageCatalogue::incomingMessage(VTMessageCatalogue::kSetMessageTypeResultID, {}),
              nullptr);
}

TEST(VTMessageTest, RequestsWithoutPayloadAreSixByteFrames) {
    const QByteArray frames[] = {
        GetBackupStatsSummaryMessage().dataValue(), AlertRequestMessage().dataValue(),
        StatsRequestMessage().dataValue(),          AppStateRequestMessage().dataValue(),
        ResumeSystemMessage().dataValue(),          WebLoginKeyTrayRequestMessage().dataValue()};
    for (const QByteArray& frame : frames) {
        ASSERT_EQ(frame.size(), 6);
        EXPECT_EQ(VTMessageHeader::headerWithData(frame).msgLength(), 0);
    }
    EXPECT_EQ(StatsRequestMessage().dataValue(), bytes({0xE7, 0xEA, 0, 0, 0, 0}));
}

TEST(VTTokenMessageTest, EmptyTokensSurviveARoundTrip) {
    VTTokenMessage message;
    message.initWithData("a||b");
    EXPECT_EQ(message.tokens(), (QStringList{"a", "", "b"}));
    EXPECT_EQ(message.VT_msgData(), "a||b");

    VTTokenMessage edges;
    edges.initWithData("|x|");
    EXPECT_EQ(edges.tokens(), (QStringList{"", "x", ""}));
    EXPECT_EQ(edges.VT_msgData(), "|x|");
}

TEST(VTTokenMessageTest, BarInsideATokenIsNotEscaped) {
    VTTokenMessage sent;
    sent.addToken("left|right");
    VTTokenMessage arrived;
    arrived.initWithData(sent.VT_msgData());
    EXPECT_EQ(arrived.tokens(), (QStringList{"left", "right"}));
}

TEST(VTTokenMessageTest, TokenListIsWhatIsSent) {
    VTTokenMessage none;
    EXPECT_EQ(none.VT_msgData(), QByteArray());
    VTTokenMessage message;
    message.initWithString("first");
    message.addToken(-25845);
    message.addToken(QStringLiteral("ünïcode"));
    EXPECT_EQ(message.VT_msgData(), QStringLiteral("first|-25845|ünïcode").toUtf8());
    EXPECT_EQ(message.contentString(), "first");
}

TEST(VTTokenMessageTest, InvalidUtf8GivesNoTokens) {
    VTTokenMessage message;
    message.initWithData(bytes({'a', 0xC3, 0x28, '|', 'b'}));
    EXPECT_FALSE(message.hasContentString());
    EXPECT_TRUE(message.tokens().isEmpty());
}

TEST(VTTokenMessageTest, DescriptionShowsTokensAndText) {
    VTTokenMessage message;
    message.initWithData("a|b");
    const QString description = message.description();
    EXPECT_TRUE(description.startsWith("content: a|b -- <VTMessage: 0x"))
        << description.toStdString();
    EXPECT_TRUE(description.endsWith(": VTSTATUS_MSG:--  a|b  --END_MSG"));
}

TEST(OutgoingMessagesTest, PayloadsAreExact) {
    EXPECT_EQ(VTClassMessage(StatusQueryMessage()).VT_msgData(),
              "15105|com.keepery.service.ui.message.StatusQueryMessage");
    EXPECT_EQ(VTClassMessage(SetMessageTypeMessage()).VT_msgData(),
              "-25845|com.keepery.service.ui.message.SetMessageTypeMessage");
    EXPECT_EQ(StatusQueryMessage("tok3n").VT_msgData(), "VTT|tok3n");
    EXPECT_EQ(GetComputersMessage().VT_msgData(), "false");
    EXPECT_EQ(PauseSystemMessage(60).VT_msgData(), "60");
    EXPECT_EQ(PauseSystemMessage(-1).VT_msgData(), "-1");
    EXPECT_EQ(CommandTrayRequestMessage("pause.target 12|34").VT_msgData(), "pause.target 12|34");
}

TEST(OutgoingMessagesTest, SetMessageTypeCarriesNameAndMillisecondTimestamp) {
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    const auto message = SetMessageTypeMessage::msgWithName(SetMessageTypeMessage::kTrayInterface);
    const qint64 after = QDateTime::currentMSecsSinceEpoch();
    ASSERT_EQ(message.tokens().size(), 2);
    EXPECT_EQ(message.tokens()[0], "com.keepery.service.ui.message.ITrayMessage");
    const qint64 stamp = message.tokens()[1].toLongLong();
    EXPECT_GE(stamp, before);
    EXPECT_LE(stamp, after);
}

TEST(IncomingMessagesTest, ComputerAndAlertTokensReadAsNumbers) {
    EXPECT_EQ(received<ComputerConnectedMessage>("-9007199254740993")->computerID(),
              -9007199254740993LL);
    EXPECT_FALSE(received<ComputerConnectedMessage>("")->computerID().has_value());
    EXPECT_EQ(received<AlertCountMessage>("3")->count(), 3);
    EXPECT_TRUE(received<AlertCountMessage>("3")->hasAlerts());
    EXPECT_FALSE(received<AlertCountMessage>("0")->hasAlerts());
    EXPECT_FALSE(received<AlertCountMessage>("")->count().has_value());
    ComputerDisconnectedMessage built;
    built.initWithComputerID(42);
    EXPECT_EQ(built.VT_msgData(), "42");
}

TEST(VTJSONDictMessageTest, BareStringPayloadHasNoKeys) {
    auto message = received<StatsMessage>("\"just text\"");
    EXPECT_FALSE(message->VT_processJSON());
    EXPECT_TRUE(message->VT_processJSON());  // parsed, just not an object
    EXPECT_TRUE(message->dict().isEmpty());
}

TEST(VTJSONDictMessageTest, BrokenJsonIsTriedAgainAtEveryAccess) {
    auto message = received<StatsMessage>("{\"a\": ");
    EXPECT_FALSE(message->VT_processJSON());
    EXPECT_FALSE(message->VT_processJSON());
    EXPECT_TRUE(message->dict().isEmpty());
}

TEST(VTJSONDictMessageTest, ParsesOnceAndKeepsGuidsExact) {
    auto message = received<StatsMessage>("{\"guid\": 1234567890123456789}");
    EXPECT_EQ(message->dict().value("guid").toInteger(), 1234567890123456789LL);
    EXPECT_TRUE(message->VT_processJSON());
}

TEST(VTJSONDictMessageTest, TwoThreadsFirstAccessParseOnce) {
    for (int round = 0; round < 50; ++round) {
        auto message = received<StatsMessage>("{\"k\": [1, 2, 3]}");
        std::atomic<int> parsers{0};
        std::atomic<bool> go{false};
        auto access = [&] {
            while (!go) {
            }
            if (!message->VT_processJSON()) {
                ++parsers;
            }
        };
        std::thread first(access);
        std::thread second(access);
        go = true;
        first.join();
        second.join();
        EXPECT_EQ(parsers, 1);
    }
}

TEST(VTJSONDictMessageTest, InvalidUtf8FailsAtFirstAccess) {
    auto message = received<StatsMessage>(bytes({'{', 0xFF, '}'}));
    EXPECT_THROW(message->VT_processJSON(), std::runtime_error);
}

TEST(IncomingMessagesTest, CommandResponseFillsDefaults) {
    auto withoutResults = received<CommandTrayResponseMessage>("{\"success\": true}");
    EXPECT_TRUE(withoutResults->success());
    EXPECT_FALSE(withoutResults->errorMsg().has_value());
    EXPECT_TRUE(withoutResults->results().isEmpty());

    auto full = received<CommandTrayResponseMessage>(
        R"({"success": false, "error": "bad", "results": [{"result": "ok", "success": true}, {}]})");
    EXPECT_FALSE(full->success());
    EXPECT_EQ(full->errorMsg(), "bad");
    ASSERT_EQ(full->results().size(), 2);
    EXPECT_EQ(full->results()[0].errorMsg, "ERROR MESSAGE NOT GIVEN.");
    EXPECT_EQ(full->results()[0].resultMsg, "ok");
    EXPECT_TRUE(full->results()[0].success);
    EXPECT_EQ(full->results()[1].resultMsg, "RESULT INFO NOT GIVEN.");
    EXPECT_FALSE(full->results()[1].success);
}

TEST(IncomingMessagesTest, WebLoginKeyGivesKeyAndComputerText) {
    auto message = received<WebLoginKeyTrayResponseMessage>(
        R"({"webLoginKey": "k-123", "computer": 9007199254740993})");
    EXPECT_EQ(message->key(), "k-123");
    EXPECT_EQ(message->computerParam(), "9007199254740993");
    auto missing = received<WebLoginKeyTrayResponseMessage>("{}");
    EXPECT_FALSE(missing->key().has_value());
    EXPECT_FALSE(missing->computerParam().has_value());
}

}  // namespace
