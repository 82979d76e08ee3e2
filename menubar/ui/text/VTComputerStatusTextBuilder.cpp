#include "ui/text/VTComputerStatusTextBuilder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEvent>
#include <cmath>
#include <limits>

#include "model/VTComputerStats.h"
#include "model/VTVaultorState.h"
#include "platform/VTUserDefaults.h"
#include "ui/text/VTObjectDump.h"
#include "ui/text/VTTextTemplate.h"

namespace {

// Not-ready codes of the service and the phrase shown for each (looked up in translation).
struct CodePhrase {
    const char* code;
    const char* phrase;
};

constexpr CodePhrase kNotReadyPhrases[] = {
    {"BUSY", QT_TRANSLATE_NOOP("VTComputerStatusTextBuilder", "not scheduled to run")},
    {"CAPACITY_REDUCED",
     QT_TRANSLATE_NOOP("VTComputerStatusTextBuilder", "allotted capacity has been reduced")},
    {"DISABLED", QT_TRANSLATE_NOOP("VTComputerStatusTextBuilder", "not scheduled to run")},
    {"EXCEPTION", QT_TRANSLATE_NOOP("VTComputerStatusTextBuilder", "unknown problem")},
    {"MANIFEST_MAINTENANCE",
     QT_TRANSLATE_NOOP("VTComputerStatusTextBuilder", "backup files are being maintained")},
    {"MANIFEST_MIGRATION_NEEDED",
     QT_TRANSLATE_NOOP("VTComputerStatusTextBuilder", "backup files are being migrated")},
    {"MANIFEST_MOVED",
     QT_TRANSLATE_NOOP("VTComputerStatusTextBuilder", "backup location is being moved")},
    {"MANIFEST_NOT_INITIALIZED",
     QT_TRANSLATE_NOOP("VTComputerStatusTextBuilder", "backup location is not accessible")},
    {"NOT_AVAILABLE", QT_TRANSLATE_NOOP("VTComputerStatusTextBuilder", "not available")},
    {"PAUSED", QT_TRANSLATE_NOOP("VTComputerStatusTextBuilder", "paused")},
};

// A text and its note to translators, which also tells apart texts that read alike in English.
struct SourceText {
    const char* source;
    const char* comment;
};

// The texts of a time span for one SpanUse. "%@" takes the number; the whole counts are plural
// texts, whose form the translation picks by the count ("1 Tag", "2 Tage"). English keeps the
// plural word for every count but exactly one day, hour or minute: 25 hours read "1 days".
struct SpanTexts {
    SourceText oneDay;
    SourceText days;
    SourceText fractionOfDays;
    SourceText oneHour;
    SourceText hours;
    SourceText fractionOfHours;
    SourceText oneMinute;
    SourceText minutes;
    SourceText lessThanOneMinute;
};

// One per SpanUse, in its order.
constexpr SpanTexts kSpanTexts[] = {
    {
        QT_TRANSLATE_NOOP3("VTComputerStatusTextBuilder", "1 day",
                           "a time span standing alone, as in \"About %@ left\""),
        QT_TRANSLATE_N_NOOP3("VTComputerStatusTextBuilder", "%@ days",
                             "a time span standing alone, as in \"About %@ left\""),
        QT_TRANSLATE_NOOP3("VTComputerStatusTextBuilder", "%@ days",
                           "a time span standing alone, with one decimal: \"About 1.5 days left\""),
        QT_TRANSLATE_NOOP3("VTComputerStatusTextBuilder", "1 hour",
                           "a time span standing alone, as in \"About %@ left\""),
        QT_TRANSLATE_N_NOOP3("VTComputerStatusTextBuilder", "%@ hours",
                             "a time span standing alone, as in \"About %@ left\""),
        QT_TRANSLATE_NOOP3(
            "VTComputerStatusTextBuilder", "%@ hours",
            "a time span standing alone, with one decimal: \"About 1.5 hours left\""),
        QT_TRANSLATE_NOOP3("VTComputerStatusTextBuilder", "1 minute",
                           "a time span standing alone, as in \"About %@ left\""),
        QT_TRANSLATE_N_NOOP3("VTComputerStatusTextBuilder", "%@ minutes",
                             "a time span standing alone, as in \"About %@ left\""),
        QT_TRANSLATE_NOOP3("VTComputerStatusTextBuilder", " < 1 minute",
                           "a time span standing alone, as in \"About %@ left\""),
    },
    {
        QT_TRANSLATE_NOOP3("VTComputerStatusTextBuilder", "1 day",
                           "a time span after in, ago or for: \"Next backup in %@\""),
        QT_TRANSLATE_N_NOOP3("VTComputerStatusTextBuilder", "%@ days",
                             "a time span after in, ago or for: \"Next backup in %@\""),
        QT_TRANSLATE_NOOP3("VTComputerStatusTextBuilder", "%@ days",
                           "a time span after in, ago or for, with one decimal: \"in 1.5 days\""),
        QT_TRANSLATE_NOOP3("VTComputerStatusTextBuilder", "1 hour",
                           "a time span after in, ago or for: \"Next backup in %@\""),
        QT_TRANSLATE_N_NOOP3("VTComputerStatusTextBuilder", "%@ hours",
                             "a time span after in, ago or for: \"Next backup in %@\""),
        QT_TRANSLATE_NOOP3("VTComputerStatusTextBuilder", "%@ hours",
                           "a time span after in, ago or for, with one decimal: \"in 1.5 hours\""),
        QT_TRANSLATE_NOOP3("VTComputerStatusTextBuilder", "1 minute",
                           "a time span after in, ago or for: \"Next backup in %@\""),
        QT_TRANSLATE_N_NOOP3("VTComputerStatusTextBuilder", "%@ minutes",
                             "a time span after in, ago or for: \"Next backup in %@\""),
        QT_TRANSLATE_NOOP3("VTComputerStatusTextBuilder", " < 1 minute",
                           "a time span after in, ago or for: \"Next backup in %@\""),
    },
};

QString translated(const SourceText& text, int count = -1) {
    return QCoreApplication::translate("VTComputerStatusTextBuilder", text.source, text.comment,
                                       count);
}

constexpr qint64 kSecondsPerDay = 86400;
constexpr qint64 kSecondsPerHour = 3600;
constexpr qint64 kSecondsPerMinute = 60;
// Below this rate (bytes per second) no rate is shown.
constexpr double kLowestShownRateInKilobytes = 5.0;

qint64 realNow() {
    return QDateTime::currentSecsSinceEpoch();
}

}  // namespace

VTComputerStatusTextBuilder::VTComputerStatusTextBuilder() : now_(realNow) {
    VTComputerStatusTextBuilder::retranslate();
    setUserDefaults(nullptr);
    if (QCoreApplication* application = QCoreApplication::instance()) {
        application->installEventFilter(this);
    }
}

VTVaultorState* VTComputerStatusTextBuilder::state() const {
    return state_;
}

void VTComputerStatusTextBuilder::setState(VTVaultorState* state) {
    state_ = state;
}

void VTComputerStatusTextBuilder::retranslate() {
    statusDOTmaintaining_ = tr("Maintaining backup files");
    statusDOTnoFiles_ = tr("No files selected for backup");
    statusDOTnotReady_ = tr("Destination unavailable — %@");
    statusDOTsystemPaused_ = tr("Backup engine paused — resuming in %@");
    statusDOTcomplete_ = tr("Backup complete!");
    statusDOTlastBackup_ = tr("%@ — last backup %@ ago");
    statusDOTscanning_ = tr("Scanning files...");
    statusDOTwaitingForBackup_ = tr("Waiting for backup");
    statusDOTwaitingOnConnection_ = tr("Waiting for connection");
    msgRateKBPS_ = tr("%@ kbps");
    msgRateMBPS_ = tr("%@ mbps");
    msgBackingUp_ = tr("Backup running...");
    msgBackingUpWithRate_ = tr("Backup running @ %@");
    notReadyCodesMsgs_.clear();
    for (const CodePhrase& entry : kNotReadyPhrases) {
        notReadyCodesMsgs_.insert(QLatin1String(entry.code), tr(entry.phrase));
    }
    gigabytes_ = tr("%@ GB");
    megabytes_ = tr("%@ MB");
    kilobytes_ = tr("%@ KB");
    bytes_ = tr("%@ bytes");
}

bool VTComputerStatusTextBuilder::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::LanguageChange && watched == QCoreApplication::instance()) {
        retranslate();
    }
    return VTLoggingObject::eventFilter(watched, event);
}

int VTComputerStatusTextBuilder::VT_pluralCount(double count) {
    if (!(count > 0)) {
        return 0;
    }
    constexpr int kLargest = std::numeric_limits<int>::max();
    return count >= kLargest ? kLargest : static_cast<int>(count);
}

QString VTComputerStatusTextBuilder::VT_spanNumber(double value, int decimals) const {
    QLocale locale = oneDecimalPlaceFormatter_.locale();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'f', decimals);
}

QString VTComputerStatusTextBuilder::timeDiffString(double seconds) const {
    return timeDiffString(seconds, SpanUse::Alone);
}

QString VTComputerStatusTextBuilder::timeDiffString(double seconds, SpanUse use) const {
    const SpanTexts& texts = kSpanTexts[use == SpanUse::Alone ? 0 : 1];
    // Only an exact quotient of one takes the singular text; below a tenth the fraction is
    // dropped, and minutes never show one.
    const auto span = [&](double quotient, const SourceText& one, const SourceText& many,
                          const SourceText* fraction) {
        if (quotient == 1.0) {
            return translated(one);
        }
        const double whole = std::trunc(quotient);
        if (!fraction || quotient - whole < 0.1) {
            // Printed from the double, so spans beyond the 64-bit range cannot overflow.
            return VTTextTemplate::fill(translated(many, VT_pluralCount(whole)),
                                        {VT_spanNumber(whole, 0)});
        }
        return VTTextTemplate::fill(translated(*fraction), {VT_spanNumber(quotient, 1)});
    };
    if (seconds >= kSecondsPerDay) {
        return span(seconds / kSecondsPerDay, texts.oneDay, texts.days, &texts.fractionOfDays);
    }
    if (seconds >= kSecondsPerHour) {
        return span(seconds / kSecondsPerHour, texts.oneHour, texts.hours, &texts.fractionOfHours);
    }
    if (seconds >= kSecondsPerMinute) {
        return span(seconds / kSecondsPerMinute, texts.oneMinute, texts.minutes, nullptr);
    }
    return translated(texts.lessThanOneMinute);
}

std::optional<QString> VTComputerStatusTextBuilder::timeSinceForNumber(
    std::optional<qint64> millis) const {
    if (!millis || *millis <= 0) {
        return std::nullopt;
    }
    return timeSince(static_cast<double>(*millis) / 1000.0);
}

QString VTComputerStatusTextBuilder::timeSince(double seconds) const {
    return timeDiffString(static_cast<double>(now()) - seconds, SpanUse::AfterPreposition);
}

QString VTComputerStatusTextBuilder::timeUntilForNumber(std::optional<qint64> millis) const {
    return timeUntil(static_cast<double>(millis.value_or(0)) / 1000.0);
}

QString VTComputerStatusTextBuilder::timeUntil(double seconds) const {
    return timeDiffString(seconds - static_cast<double>(now()), SpanUse::AfterPreposition);
}

QString VTComputerStatusTextBuilder::unitString(qint64 bytes) const {
    struct Unit {
        qint64 size;
        const QString* text;
    };
    const Unit units[] = {{1000000000, &gigabytes_}, {1000000, &megabytes_}, {1000, &kilobytes_}};
    QString result;
    for (const Unit& unit : units) {
        if (bytes >= unit.size) {
            result = VTTextTemplate::fill(
                *unit.text, {oneDecimalPlaceFormatter_.stringFromQuotient(bytes, unit.size)});
            break;
        }
    }
    if (result.isNull()) {
        const QString value = bytes == 0 ? removeMantissaFormatter_.stringFromQuotient(0, 1)
                                         : oneDecimalPlaceFormatter_.stringFromQuotient(bytes, 1);
        result = VTTextTemplate::fill(bytes_, {value});
    }
    if (result == QLatin1String("0 bytes")) {
        qInfo("WTF?");
    }
    return result;
}

std::optional<QString> VTComputerStatusTextBuilder::xferRateStringForStats(
    const QObject* stats, const char* keyPath) const {
    if (!stats || !keyPath) {
        return std::nullopt;
    }
    const double kilobytes = stats->property(keyPath).toDouble() / 1000.0;
    if (!(kilobytes >= kLowestShownRateInKilobytes)) {
        return std::nullopt;
    }
    const double kilobits = kilobytes * 8.0;
    if (kilobits < 1000.0) {
        return VTTextTemplate::fill(msgRateKBPS_,
                                    {removeMantissaFormatter_.stringFromNumber(kilobits)});
    }
    return VTTextTemplate::fill(msgRateMBPS_,
                                {oneDecimalPlaceFormatter_.stringFromNumber(kilobits / 1000.0)});
}

QString VTComputerStatusTextBuilder::localizedStringForInteger(qint64 n) const {
    return decimalFormatter_.stringFromQuotient(n, 1);
}

void VTComputerStatusTextBuilder::setShowActualBandwidth(bool show) {
    if (userDefaults_) {
        userDefaults_->setObject(show ? QStringLiteral("1") : QStringLiteral("0"),
                                 kDisplayTransferRateTypeKey);
    }
    VT_readShowActualBandwidth();
}

void VTComputerStatusTextBuilder::setUserDefaults(VTUserDefaults* userDefaults) {
    disconnect(userDefaultsConnection_);
    userDefaults_ = userDefaults ? userDefaults : VTUserDefaults::standardUserDefaults();
    userDefaults_->registerDefaults({{kDisplayTransferRateTypeKey, QStringLiteral("0")}});
    userDefaultsConnection_ =
        connect(userDefaults_, &VTUserDefaults::valueChanged, this, [this](const QString& key) {
            if (key == kDisplayTransferRateTypeKey) {
                VT_readShowActualBandwidth();
            }
        });
    VT_readShowActualBandwidth();
}

void VTComputerStatusTextBuilder::VT_readShowActualBandwidth() {
    const bool show = userDefaults_ && userDefaults_->boolForKey(kDisplayTransferRateTypeKey);
    if (show != showActualBandwidth_) {
        showActualBandwidth_ = show;
        emit showActualBandwidthChanged();
    }
}

void VTComputerStatusTextBuilder::setNowFunction(std::function<qint64()> now) {
    now_ = now ? std::move(now) : std::function<qint64()>(realNow);
}

void VTComputerStatusTextBuilder::VT_checkForNull(const QString& text, bool missingValue,
                                                  const VTComputerStats* stats) const {
    if (missingValue || text.toLower().contains(QLatin1String("null"))) {
        log()->warning(QStringLiteral("Found 'null' in status text:\n%1\nFor stats:\n%2")
                           .arg(text, VTObjectDump::dumpInfo(stats)));
    }
}

QString VTComputerStatusTextBuilder::VT_waitingText(const QString& waiting,
                                                    const VTComputerStats* stats) const {
    const std::optional<QString> since = timeSinceForNumber(stats->lastBackupTime());
    if (!since) {
        return waiting;
    }
    return VTTextTemplate::fill(statusDOTlastBackup_, {waiting, since});
}

QString VTComputerStatusTextBuilder::VT_notReadyText(const VTComputerStats* stats,
                                                     bool* missing) const {
    const auto phrase = notReadyCodesMsgs_.constFind(stats->backupNotReadyCode());
    return VTTextTemplate::fill(
        statusDOTnotReady_,
        {phrase != notReadyCodesMsgs_.cend() ? std::optional<QString>(*phrase) : std::nullopt},
        missing);
}
