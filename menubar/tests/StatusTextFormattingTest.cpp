// The status texts' building blocks: time spans, byte counts and transfer rates at every
// boundary, the placeholder filling, the number formats, the bandwidth default, the German
// translation and the dump of statistics in log lines.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "tests/StatusTextTestSupport.h"
#include "ui/text/VTObjectDump.h"
#include "ui/text/VTRowStatusTexts.h"
#include "ui/text/VTTextTemplate.h"
#include "ui/text/VTTranslationLoader.h"

using namespace StatusTextTestSupport;
using StatusTextFixtures::kNow;

namespace {

// Collects the lines the builders write to the console.
class ConsoleCapture {
  public:
    ConsoleCapture() { previous_ = qInstallMessageHandler(&ConsoleCapture::handle); }
    ~ConsoleCapture() { qInstallMessageHandler(previous_); }
    static QStringList& lines() {
        static QStringList captured;
        return captured;
    }

  private:
    static void handle(QtMsgType, const QMessageLogContext&, const QString& message) {
        lines().append(message);
    }
    QtMessageHandler previous_;
};

}  // namespace

using StatusTextFormatting = StatusTextTest;

TEST_F(StatusTextFormatting, TimeSpansAtTheirBoundaries) {
    const auto* builder = destinationBuilder();
    EXPECT_EQ(builder->timeDiffString(86400), "1 day");
    EXPECT_EQ(builder->timeDiffString(90000), "1 days");  // 1.04 days: the fraction is dropped
    EXPECT_EQ(builder->timeDiffString(129600), "1.5 days");
    EXPECT_EQ(builder->timeDiffString(7200), "2 hours");
    EXPECT_EQ(builder->timeDiffString(5400), "1.5 hours");
    EXPECT_EQ(builder->timeDiffString(3600), "1 hour");
    EXPECT_EQ(builder->timeDiffString(86399), "24.0 hours");
    EXPECT_EQ(builder->timeDiffString(60), "1 minute");
    EXPECT_EQ(builder->timeDiffString(119), "1 minutes");
    EXPECT_EQ(builder->timeDiffString(3599), "59 minutes");
    EXPECT_EQ(builder->timeDiffString(59), " < 1 minute");
    EXPECT_EQ(builder->timeDiffString(-5), " < 1 minute");
    EXPECT_EQ(builder->timeDiffString(1e30), "11574074074074074864156672 days");
}

TEST_F(StatusTextFormatting, TimeSinceAndUntilUseTheClock) {
    const auto* builder = destinationBuilder();
    EXPECT_EQ(builder->timeSinceForNumber((kNow - 7200) * 1000), "2 hours");
    EXPECT_EQ(builder->timeSinceForNumber(0), std::nullopt);
    EXPECT_EQ(builder->timeSinceForNumber(-5000), std::nullopt);
    EXPECT_EQ(builder->timeSinceForNumber(std::nullopt), std::nullopt);
    EXPECT_EQ(builder->timeUntilForNumber((kNow + 86400) * 1000), "1 day");
    // No guard on the way forward: an absent time is 1970, long past.
    EXPECT_EQ(builder->timeUntilForNumber(std::nullopt), " < 1 minute");
    EXPECT_EQ(builder->timeSince(kNow - 60.0), "1 minute");
    EXPECT_EQ(builder->timeUntil(kNow + 5400.0), "1.5 hours");
}

TEST_F(StatusTextFormatting, ByteCountsInDecimalUnits) {
    ConsoleCapture console;
    ConsoleCapture::lines().clear();
    const auto* builder = destinationBuilder();
    EXPECT_EQ(builder->unitString(999), "999.0 bytes");
    EXPECT_EQ(builder->unitString(1000), "1.0 KB");
    EXPECT_EQ(builder->unitString(999999), "1,000.0 KB");
    EXPECT_EQ(builder->unitString(1000000), "1.0 MB");
    EXPECT_EQ(builder->unitString(1500000), "1.5 MB");
    EXPECT_EQ(builder->unitString(1000000000), "1.0 GB");
    EXPECT_EQ(builder->unitString(-5), "-5.0 bytes");
    EXPECT_TRUE(ConsoleCapture::lines().isEmpty());
    EXPECT_EQ(builder->unitString(0), "0 bytes");
    EXPECT_EQ(ConsoleCapture::lines(), QStringList{"WTF?"});
}

TEST_F(StatusTextFormatting, ByteCountsAreDividedExactlyAndRoundedHalfToEven) {
    const auto* builder = destinationBuilder();
    // 1.05 and 1.15 have no exact binary form; the decimal division keeps the tie.
    EXPECT_EQ(builder->unitString(1050000), "1.0 MB");
    EXPECT_EQ(builder->unitString(1150000), "1.2 MB");
    EXPECT_EQ(builder->unitString(1049999999999), "1,050.0 GB");
    EXPECT_EQ(builder->unitString(std::numeric_limits<qint64>::max()), "9,223,372,036.9 GB");
}

TEST_F(StatusTextFormatting, TransferRatesFromFiveThousandBytesPerSecond) {
    VTDestination destination(77);
    VTDestinationStats* stats = destination.stats();
    const auto* builder = destinationBuilder();
    stats->setSendRateInBytesPerSec(4999);
    EXPECT_EQ(builder->xferRateStringForStats(stats, "sendRateInBytesPerSec"), std::nullopt);
    stats->setSendRateInBytesPerSec(5000);
    EXPECT_EQ(builder->xferRateStringForStats(stats, "sendRateInBytesPerSec"), "40 kbps");
    stats->setSendRateInBytesPerSec(124000);
    EXPECT_EQ(builder->xferRateStringForStats(stats, "sendRateInBytesPerSec"), "992 kbps");
    stats->setSendRateInBytesPerSec(125000);
    EXPECT_EQ(builder->xferRateStringForStats(stats, "sendRateInBytesPerSec"), "1.0 mbps");
    stats->setSendRateInBytesPerSec(0);
    EXPECT_EQ(builder->xferRateStringForStats(stats, "sendRateInBytesPerSec"), std::nullopt);
    EXPECT_EQ(builder->xferRateStringForStats(stats, "noSuchProperty"), std::nullopt);
    EXPECT_EQ(builder->xferRateStringForStats(nullptr, "sendRateInBytesPerSec"), std::nullopt);
}

TEST_F(StatusTextFormatting, NumberFormatsGroupDigits) {
    const auto* builder = destinationBuilder();
    EXPECT_EQ(builder->localizedStringForInteger(1234567), "1,234,567");
    EXPECT_EQ(builder->percentFormatter().stringFromNumber(0.42), "42%");
    const VTNumberFormatter german(VTNumberFormatter::OneDecimalPlace,
                                   QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(german.stringFromQuotient(1234567, 1000), "1.234,6");
    EXPECT_EQ(german.stringFromNumber(1234.56), "1.234,6");
}

TEST(StatusTextTemplate, PlaceholdersInTurnAndByPosition) {
    EXPECT_EQ(VTTextTemplate::fill("%@ — last backup %@ ago", {"Waiting", "2 hours"}),
              "Waiting — last backup 2 hours ago");
    EXPECT_EQ(VTTextTemplate::fill("%2$@ before %1$@", {"one", "two"}), "two before one");
    EXPECT_EQ(VTTextTemplate::fill("100% sure, %@", {"yes"}), "100% sure, yes");
    bool missing = false;
    // Position 0 is no placeholder; position 3 is one, without a value.
    EXPECT_EQ(VTTextTemplate::fill("%0$@ and %x and %3$@", {"a"}, &missing), "%0$@ and %x and ");
    EXPECT_TRUE(missing);
    missing = false;
    EXPECT_EQ(VTTextTemplate::fill("Destination unavailable — %@", {std::nullopt}, &missing),
              "Destination unavailable — ");
    EXPECT_TRUE(missing);
    missing = false;
    EXPECT_EQ(VTTextTemplate::fill("%@ and %@", {"only one"}, &missing), "only one and ");
    EXPECT_TRUE(missing);
}

TEST_F(StatusTextFormatting, BandwidthFollowsTheUserDefaultAtOnce) {
    auto* builder = destinationBuilder();
    EXPECT_EQ(defaults_.get()->registeredDefault("displayTransferRateType"), QVariant("0"));
    EXPECT_FALSE(builder->showActualBandwidth());
    defaults_.get()->setObject(QStringLiteral("1"), QStringLiteral("displayTransferRateType"));
    EXPECT_TRUE(builder->showActualBandwidth());
    EXPECT_TRUE(sourceBuilder()->showActualBandwidth());
    builder->setShowActualBandwidth(false);
    EXPECT_FALSE(defaults_.get()->boolForKey(QStringLiteral("displayTransferRateType")));
    EXPECT_FALSE(sourceBuilder()->showActualBandwidth());
}

TEST_F(StatusTextFormatting, GermanTranslationReplacesTheTexts) {
    apply(R"({"OutboundStats": {"d2001": {"11": {"nextBackupTime": 3999999000000}}}})");
    ASSERT_EQ(destinationText(), "Waiting for backup — last backup 2 hours ago");
    ASSERT_TRUE(VTTranslationLoader::install(QLocale(QLocale::German, QLocale::Germany)));
    EXPECT_EQ(destinationText(), "Warten auf Sicherung — letzte Sicherung vor 2 Stunden");
    EXPECT_EQ(sourceText(), "Warten auf Sicherung — letzte Sicherung vor 2 Stunden");
    EXPECT_EQ(QCoreApplication::translate("VTComputerStatusTextBuilder", "Backup complete!"),
              "Sicherung abgeschlossen!");
    VTTranslationLoader::remove();
    EXPECT_EQ(destinationText(), "Waiting for backup — last backup 2 hours ago");
    EXPECT_FALSE(VTTranslationLoader::install(QLocale(QLocale::Japanese, QLocale::Japan)));
}

TEST_F(StatusTextFormatting, RowTextsForEachKindOfComputer) {
    apply();
    const VTRowStatusTexts destinationRow = VTRowStatusTexts::forComputer(destination(), &state_);
    EXPECT_EQ(destinationRow.text, "Next backup in 3 hours");
    EXPECT_EQ(destinationRow.detailsText, "To do: 4 files (1.5 MB)");
    const VTRowStatusTexts sourceRow = VTRowStatusTexts::forComputer(source(), &state_);
    EXPECT_EQ(sourceRow.text, "Waiting for backup — last backup 2 hours ago");
    EXPECT_EQ(sourceRow.detailsText, "");
    VTComputer other(6001);
    EXPECT_EQ(VTRowStatusTexts::forComputer(&other, &state_).text, "");
    EXPECT_EQ(VTRowStatusTexts::forComputer(nullptr, &state_).text, "");
}

TEST_F(StatusTextFormatting, WrongOrMissingInputGivesEmptyTextsAndAWarning) {
    apply();
    EXPECT_EQ(destinationBuilder()->buildStatusTextDict(source()->stats()).value("text"), "");
    EXPECT_EQ(sourceBuilder()->buildStatusTextDict(destination()->stats()).value("text"), "");
    EXPECT_EQ(destinationBuilder()->buildStatusTextDict(nullptr).value("text"), "");
    destinationBuilder()->setState(nullptr);
    EXPECT_EQ(destinationBuilder()->buildStatusTextDict(destination()->stats()).value("text"), "");
    EXPECT_EQ(recorder_->countContaining("Cannot build a"), 4);
}

TEST_F(StatusTextFormatting, DumpListsTheMostDerivedPropertiesFirst) {
    apply();
    const QString dump = VTObjectDump::dumpInfo(destination()->stats());
    const qsizetype ownProperty = dump.indexOf("sendRateInBytesPerSec=0\n");
    const qsizetype inheritedProperty = dump.indexOf("computerGUID=2001\n");
    const qsizetype baseProperty = dump.indexOf("numRemainingFiles=4\n");
    EXPECT_GE(ownProperty, 0);
    EXPECT_GT(inheritedProperty, ownProperty);
    EXPECT_GT(baseProperty, inheritedProperty);
    EXPECT_TRUE(dump.contains("completionRatio=50\n")) << qPrintable(dump);
    EXPECT_TRUE(dump.contains("backupSetsStats=(<VTBackupSetStats>)\n")) << qPrintable(dump);
    EXPECT_FALSE(dump.contains("objectName="));
    EXPECT_EQ(VTObjectDump::dumpInfo(nullptr), "(null)\n");
}
