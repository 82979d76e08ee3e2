// Every rule of the status and details lines rendered in German with German number formats:
// the unit's case after "in", "vor" and "seit", plural forms by the count, decimal commas in
// time spans and sizes, the spaced percent sign; and the English texts unchanged beside them.
#include <gtest/gtest.h>

#include "app/MasterControlProgram.h"
#include "tests/StatusTextTestSupport.h"
#include "ui/text/VTTranslationLoader.h"

using namespace StatusTextTestSupport;

namespace {

class StatusTextGerman : public StatusTextTest {
  protected:
    void SetUp() override {
        StatusTextTest::SetUp();
        ASSERT_TRUE(VTTranslationLoader::install(QLocale(QLocale::German, QLocale::Germany)));
        useFormatsOf(QLocale(QLocale::German, QLocale::Germany));
    }
    void TearDown() override {
        VTTranslationLoader::remove();
        StatusTextTest::TearDown();
    }
    static void useFormatsOf(const QLocale& locale) {
        for (VTComputerStatusTextBuilder* builder : builders()) {
            builder->setDecimalFormatter(VTNumberFormatter(VTNumberFormatter::Decimal, locale));
            builder->setOneDecimalPlaceFormatter(
                VTNumberFormatter(VTNumberFormatter::OneDecimalPlace, locale));
            builder->setPercentFormatter(VTNumberFormatter(VTNumberFormatter::Percent, locale));
            builder->setRemoveMantissaFormatter(
                VTNumberFormatter(VTNumberFormatter::RemoveMantissa, locale));
        }
    }
};

enum class Row { Destination, DestinationDisconnectedByMessage, Source };

struct Case {
    Row row;
    const char* overlay;
    const char* text;
    const char* details;  // checked when given
};

// Times against the tests' clock (kNow = 4000000000 s): in 25 hours 4000090000000, in 1.5 days
// 4000129600000, in 3 days 4000259200000, in 119 s 4000000119000, 3 days ago 3999740800000.
const Case kCases[] = {
    {Row::Destination, "{}", "Nächste Sicherung in 3 Stunden",
     "Noch zu sichern: 4 Dateien (1,5 MB)"},
    {Row::Destination,
     R"({"OutboundStats": {"d2001": {"connected": false, "disconnectedCode": "NEW_VERSION"}}})",
     "Ziel nicht verfügbar — Sie haben eine ältere Version", nullptr},
    {Row::Destination,
     R"({"sets": {"a": {"isPathSetEmpty": true}, "b": {"isPathSetEmpty": true}}})",
     "Keine Dateien zur Sicherung ausgewählt", nullptr},
    {Row::Destination, R"({"resumeSystemTime": 4000090000000})",
     "Sicherungsdienst angehalten — Fortsetzung in 1 Tag", nullptr},
    {Row::Destination, R"({"resumeSystemTime": 4000129600000})",
     "Sicherungsdienst angehalten — Fortsetzung in 1,5 Tagen", nullptr},
    {Row::Destination, R"({"OutboundStats": {"d2001": {"maintaining": true}}})",
     "Sicherungsdateien werden gewartet", nullptr},
    {Row::Destination,
     R"({"OutboundStats": {"d2001": {"11": {"paused": true, "resumeTime": 4000259200000}}}})",
     "Sicherung angehalten — Fortsetzung in 3 Tagen", nullptr},
    {Row::Destination, R"({"OutboundStats": {"d2001": {"outOfSpace": true}}})",
     "Kein Speicherplatz am Ziel", nullptr},
    {Row::DestinationDisconnectedByMessage,
     R"({"OutboundStats": {"d2001": {"11": {"status": "WARNING",
                                            "lastBackupTime": 3999740800000}}}})",
     "Sicherung nicht möglich — seit 3 Tagen keine Verbindung", nullptr},
    {Row::Destination, R"({"OutboundStats": {"d2001": {"connected": false,
                                                       "11": {"scanning": true}}}})",
     "Dateien werden durchsucht...", nullptr},
    {Row::Destination, R"({"OutboundStats": {"d2001": {"connected": false}}})",
     "Warten auf Verbindung — letzte Sicherung vor 2 Stunden", nullptr},
    {Row::Destination,
     R"({"OutboundStats": {"d2001": {"connected": false, "11": {"lastBackupTime": 0}}}})",
     "Warten auf Verbindung", nullptr},
    {Row::DestinationDisconnectedByMessage,
     R"({"OutboundStats": {"d2001": {"11": {"completedRatio": 1}}}})", "Sicherung abgeschlossen!",
     nullptr},
    {Row::Destination, R"({"OutboundStats": {"d2001": {"validating": true}}})", "Synchronisieren",
     nullptr},
    {Row::Destination, R"({"OutboundStats": {"d2001": {"completedRateInBytesPerSec": 5000,
              "11": {"selectedForBackup": true, "estimatedTimeRemainingInSec": 259200}}}})",
     "Noch etwa 3 Tage mit 40 kbit/s", nullptr},
    {Row::Destination, R"({"OutboundStats": {"d2001": {"completedRateInBytesPerSec": 187500,
                                                       "11": {"selectedForBackup": true}}}})",
     "Sicherung läuft mit 1,5 Mbit/s", nullptr},
    {Row::Destination, R"({"OutboundStats": {"d2001": {"11": {"selectedForBackup": true,
                                                      "estimatedTimeRemainingInSec": 90000}}}})",
     "Noch etwa 1 Tag", nullptr},
    {Row::Destination, R"({"OutboundStats": {"d2001": {"11": {"selectedForBackup": true,
                                                      "estimatedTimeRemainingInSec": 129600}}}})",
     "Noch etwa 1,5 Tage", nullptr},
    {Row::Destination,
     R"({"OutboundStats": {"d2001": {"11": {"selectedForBackup": true, "scanning": true}}}})",
     "Sicherung während der Dateisuche", ""},
    {Row::Destination, R"({"OutboundStats": {"d2001": {"11": {"selectedForBackup": true}}}})",
     "Sicherung läuft...", nullptr},
    {Row::Destination, R"({"OutboundStats": {"d2001": {"11": {"scanning": true}}}})",
     "Dateien werden durchsucht...", ""},
    {Row::Destination, R"({"OutboundStats": {"d2001": {"backupReady": false,
                                         "backupNotReadyCode": "MANIFEST_NOT_INITIALIZED"}}})",
     "Ziel nicht verfügbar — Sicherungsort ist nicht erreichbar", nullptr},
    {Row::Destination,
     R"({"OutboundStats": {"d2001": {"11": {"completedRatio": 1, "numRemainingFiles": 0}}}})",
     "Sicherung abgeschlossen!", "Noch zu sichern: 0 Dateien (1,5 MB)"},
    {Row::Destination,
     R"({"OutboundStats": {"d2001": {"11": {"nextBackupTime": 4000000119000,
                                            "numRemainingFiles": 1}}}})",
     "Nächste Sicherung in 1 Minute", "Noch zu sichern: 1 Datei (1,5 MB)"},
    {Row::Destination,
     R"({"OutboundStats": {"d2001": {"11": {"nextBackupTime": 3999999000000,
                                            "lastBackupTime": 3999740800000}}}})",
     "Warten auf Sicherung — letzte Sicherung vor 3 Tagen", nullptr},
    {Row::Destination,
     R"({"OutboundStats": {"d2001": {"11": {"nextBackupTime": 3999999000000,
                                            "lastBackupTime": 0}}}})",
     "Warten auf Sicherung", nullptr},
    {Row::Destination,
     R"({"OutboundStats": {"d2001": {"11": {"withinSchedule": false, "scheduledTime": "22:00"}}}})",
     "Sicherung beginnt planmäßig um 22:00", nullptr},
    {Row::Destination, R"({"OutboundStats": {"d2001": {"11": {"withinSchedule": false}}}})",
     "Derzeit keine Sicherung geplant", nullptr},
    {Row::Destination, R"({"OutboundStats": {"d2001": {"11": {
              "sendingFileTodo": {"file": "/home/b.jpg", "completionRatio": 0.5}}}}})",
     "Nächste Sicherung in 3 Stunden", "Senden: /home/b.jpg (50\u00A0%)"},
    {Row::Destination, R"({"OutboundStats": {"d2001": {"11": {
              "analyzingFileTodo": {"file": "/home/a.txt", "completionRatio": 0.42}}}}})",
     "Nächste Sicherung in 3 Stunden", "Analysieren: /home/a.txt (42\u00A0%)"},
    {Row::Destination, R"({"OutboundStats": {"d2001": {"11": {"numRemainingFiles": 1234,
                                                              "numRemainingBytes": 0}}}})",
     "Nächste Sicherung in 3 Stunden", "Noch zu sichern: 1.234 Dateien"},
    {Row::Destination, R"({"OutboundStats": {"d2001": {"11": {"numRemainingFiles": 1,
                                                              "numRemainingBytes": 0}}}})",
     "Nächste Sicherung in 3 Stunden", "Noch zu sichern: 1 Datei"},

    {Row::Source, R"({"InboundStats": {"s3001": {"backingUp": true,
                                                 "receiveRateInBytesPerSec": 5000}}})",
     "Sicherung läuft mit 40 kbit/s", nullptr},
    {Row::Source, R"({"InboundStats": {"s3001": {"backingUp": true, "scanning": true}}})",
     "Sicherung läuft...", nullptr},
    {Row::Source, R"({"InboundStats": {"s3001": {"outOfSpace": true}}})", "Kein Speicherplatz",
     nullptr},
    {Row::Source, R"({"InboundStats": {"s3001": {"maintaining": true}}})",
     "Sicherungsdateien werden gewartet", nullptr},
    {Row::Source, R"({"resumeSystemTime": 4000259200000})",
     "Sicherungsdienst angehalten — Fortsetzung in 3 Tagen", nullptr},
    {Row::Source,
     R"({"InboundStats": {"s3001": {"backupReady": false, "backupNotReadyCode": "BUSY"}}})",
     "Ziel nicht verfügbar — nicht zur Ausführung geplant", nullptr},
    {Row::Source, R"({"InboundStats": {"s3001": {"completedRatio": 1, "numBytesScanned": 0}}})",
     "Sicherung abgeschlossen!", nullptr},
    {Row::Source, R"({"InboundStats": {"s3001": {"numBytesScanned": 0}}})",
     "Keine Dateien zur Sicherung ausgewählt", nullptr},
    {Row::Source, R"({"InboundStats": {"s3001": {"lastBackupTime": 3999740800000}}})",
     "Warten auf Sicherung — letzte Sicherung vor 3 Tagen", nullptr},
    {Row::Source, R"({"InboundStats": {"s3001": {"connected": false}}})",
     "Warten auf Verbindung — letzte Sicherung vor 2 Stunden", nullptr},
    {Row::Source, R"({"InboundStats": {"s3001": {"connected": false, "lastBackupTime": -1}}})",
     "Warten auf Verbindung", nullptr},
};

}  // namespace

TEST_F(StatusTextGerman, EveryRuleReadsAsGermanWritesIt) {
    for (const Case& c : kCases) {
        // Each case meets its computers afresh: values the base leaves out (a disconnect code)
        // would otherwise stay from the case before.
        apply(R"({"computers": {"c2001": {"target": false}, "c3001": {"source": false}}})");
        apply(c.overlay);
        if (c.row == Row::DestinationDisconnectedByMessage) {
            // The service reports the loss by message; the status stays until the next stats.
            destination()->stats()->setIsConnected(false);
        }
        if (c.row == Row::Source) {
            EXPECT_EQ(sourceText(), QString::fromUtf8(c.text)) << c.overlay;
            continue;
        }
        EXPECT_EQ(destinationText(), QString::fromUtf8(c.text)) << c.overlay;
        if (c.details) {
            EXPECT_EQ(detailsText(), QString::fromUtf8(c.details)) << c.overlay;
        }
    }
    EXPECT_EQ(recorder_->countContaining("Found 'null'"), 0);

    // Selected and paused, with no computer left to pause: the last rule with a text.
    apply(R"({"OutboundStats": {"d2001": {"11": {"selectedForBackup": true, "paused": true}}}})");
    VTDestinationStats* orphan = destination()->stats();
    apply(R"({"computers": {"c2001": {"target": false}}})");
    EXPECT_EQ(destinationBuilder()->buildStatusTextDict(orphan).value("text"), "Bitte warten");
}

TEST_F(StatusTextGerman, TheEnglishTextsStayAsTheyWere) {
    VTTranslationLoader::remove();
    useFormatsOf(QLocale(QLocale::English, QLocale::UnitedStates));
    apply(R"({"resumeSystemTime": 4000129600000,
              "OutboundStats": {"d2001": {"11": {"numRemainingFiles": 1}}}})");
    EXPECT_EQ(destinationText(), "Backup engine paused — resuming in 1.5 days");
    EXPECT_EQ(detailsText(), "To do: 1 files (1.5 MB)");
    apply(R"({"OutboundStats": {"d2001": {"11": {"selectedForBackup": true,
                                                 "estimatedTimeRemainingInSec": 90000}}}})");
    EXPECT_EQ(destinationText(), "About 1 days left");
    apply(R"({"OutboundStats": {"d2001": {"11": {"nextBackupTime": 4000000119000}}}})");
    EXPECT_EQ(destinationText(), "Next backup in 1 minutes");
    apply(R"({"OutboundStats": {"d2001": {"11": {
              "sendingFileTodo": {"file": "/home/b.jpg", "completionRatio": 0.5}}}}})");
    EXPECT_EQ(detailsText(), "Sending: /home/b.jpg (50%)");
}

TEST_F(StatusTextGerman, TheProblemLineIsTranslated) {
    EXPECT_EQ(MasterControlProgram::msgMenuConnectingToService(),
              "Verbindung zum Sicherungsdienst wird hergestellt...");
    EXPECT_EQ(MasterControlProgram::msgUnableToConnect(),
              "Keine Verbindung zum Sicherungsdienst möglich.");
    EXPECT_EQ(MasterControlProgram::msgNoDestinationsConfigured(), "Keine Ziele eingerichtet.");
}
