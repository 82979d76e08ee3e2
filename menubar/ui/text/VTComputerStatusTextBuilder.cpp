#include "ui/text/VTComputerStatusTextBuilder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEvent>
#include <cmath>

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
    oneDay_ = tr("1 day");
    days_ = tr("days");
    oneHour_ = tr("1 hour");
    hours_ = tr("hours");
    oneMinute_ = tr("1 minute");
    minutes_ = tr("minutes");
    lessThanOneMinute_ = tr(" < 1 minute");
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

QString VTComputerStatusTextBuilder::VT_spanText(double quotient, const QString& one,
                                                 const QString& many) {
    if (quotient == 1.0) {
        return one;
    }
    const double whole = std::trunc(quotient);
    if (quotient - whole < 0.1) {
        // Printed from the double, so spans beyond the 64-bit range cannot overflow.
        return QString::number(whole, 'f', 0) + u' ' + many;
    }
    return QString::asprintf("%.1f", quotient) + u' ' + many;
}

QString VTComputerStatusTextBuilder::timeDiffString(double seconds) const {
    if (seconds >= kSecondsPerDay) {
        return VT_spanText(seconds / kSecondsPerDay, oneDay_, days_);
    }
    if (seconds >= kSecondsPerHour) {
        return VT_spanText(seconds / kSecondsPerHour, oneHour_, hours_);
    }
    if (seconds >= kSecondsPerMinute) {
        const double quotient = seconds / kSecondsPerMinute;
        if (quotient == 1.0) {
            return oneMinute_;
        }
        return QString::number(std::trunc(quotient), 'f', 0) + u' ' + minutes_;
    }
    return lessThanOneMinute_;
}

std::optional<QString> VTComputerStatusTextBuilder::timeSinceForNumber(
    std::optional<qint64> millis) const {
    if (!millis || *millis <= 0) {
        return std::nullopt;
    }
    return timeSince(static_cast<double>(*millis) / 1000.0);
}

QString VTComputerStatusTextBuilder::timeSince(double seconds) const {
    return timeDiffString(static_cast<double>(now()) - seconds);
}

QString VTComputerStatusTextBuilder::timeUntilForNumber(std::optional<qint64> millis) const {
    return timeUntil(static_cast<double>(millis.value_or(0)) / 1000.0);
}

QString VTComputerStatusTextBuilder::timeUntil(double seconds) const {
    return timeDiffString(seconds - static_cast<double>(now()));
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
