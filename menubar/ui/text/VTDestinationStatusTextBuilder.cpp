#include "ui/text/VTDestinationStatusTextBuilder.h"

#include "model/VTDestination.h"
#include "model/VTDestinationStats.h"
#include "model/VTVaultorState.h"
#include "ui/text/VTObjectDump.h"
#include "ui/text/VTTextTemplate.h"

namespace {

// The service's disconnect codes that get a text of their own, and the phrases that exist.
// "NOT_AUTHORIZED" has no phrase yet: its text shows the missing phrase and is logged.
constexpr const char* kDisconnectedErrors[] = {"NOT_AUTHORIZED", "NEW_VERSION", "OLD_VERSION"};

struct CodePhrase {
    const char* code;
    const char* phrase;
};

constexpr CodePhrase kDisconnectPhrases[] = {
    {"NEW_VERSION",
     QT_TRANSLATE_NOOP("VTDestinationStatusTextBuilder", "you have an older version")},
    {"OLD_VERSION",
     QT_TRANSLATE_NOOP("VTDestinationStatusTextBuilder", "you have a newer version")},
};

const VTDestination* destinationWithGUID(const VTVaultorState* state, qint64 GUID) {
    for (const VTDestination* destination : state->destinations()) {
        if (destination->GUID() == GUID) {
            return destination;
        }
    }
    return nullptr;
}

bool anyDestinationValidating(const VTVaultorState* state) {
    for (const VTDestination* destination : state->destinations()) {
        if (destination->stats()->isValidating()) {
            return true;
        }
    }
    return false;
}

}  // namespace

VTDestinationStatusTextBuilder* VTDestinationStatusTextBuilder::sharedTextBuilder() {
    static VTDestinationStatusTextBuilder* const shared = new VTDestinationStatusTextBuilder();
    return shared;
}

VTDestinationStatusTextBuilder::VTDestinationStatusTextBuilder() {
    VTDestinationStatusTextBuilder::retranslate();
    for (const char* code : kDisconnectedErrors) {
        disconnectedErrors_.insert(QLatin1String(code));
    }
}

void VTDestinationStatusTextBuilder::retranslate() {
    VTComputerStatusTextBuilder::retranslate();
    statusDetailsTemplate_ = tr("%@: %@ (%@)");
    statusDetailsAnalyzing_ = tr("Analyzing");
    statusDetailsSending_ = tr("Sending");
    statusDOTbackupPaused_ = tr("Backup paused — resuming in %@");
    statusDOTbackupStatus_ = tr("Unable to back up — no connection for %@");
    statusDOTnextBackup_ = tr("Next backup in %@");
    statusDOToutofspace_ = tr("Out of space at destination%@");
    statusDOTscheduled_ = tr("Backup scheduled to begin at %@");
    statusNotScheduled_ = tr("Not currently scheduled for backup");
    statusDOTvalidating_ = tr("Synchronizing");
    statusDOTwait_ = tr("Please wait");
    msgBackingUpWhileScanning_ = tr("Backing up while scanning");
    msgBackingUpWithTimeEst_ = tr("About %@ left");
    msgBackingUpWithTimeEstAndRate_ = tr("About %@ left @ %@");
    discoCodesMsgs_.clear();
    for (const CodePhrase& entry : kDisconnectPhrases) {
        discoCodesMsgs_.insert(QLatin1String(entry.code), tr(entry.phrase));
    }
}

QVariantMap VTDestinationStatusTextBuilder::buildStatusTextDict(const VTComputerStats* stats) {
    const auto* destinationStats = qobject_cast<const VTDestinationStats*>(stats);
    if (!destinationStats) {
        log()->warning(QStringLiteral(
            "Cannot build a destination's status text from statistics of another kind"));
        return {{kTextKey, QString()}, {kDetailsTextKey, QString()}};
    }
    if (!state()) {
        log()->warning(QStringLiteral(
            "Cannot build a destination's status text without the application state"));
        return {{kTextKey, QString()}, {kDetailsTextKey, QString()}};
    }
    if (state()->sets().isEmpty()) {
        return {{kTextKey, QString()}, {kDetailsTextKey, QString()}};
    }
    bool missing = false;
    const QString text = VT_statusText(destinationStats, &missing);
    const QString details = buildDetailsText(destinationStats);
    VT_checkForNull(text, missing, destinationStats);
    return {{kTextKey, text}, {kDetailsTextKey, details}};
}

QString VTDestinationStatusTextBuilder::VT_statusText(const VTDestinationStats* stats,
                                                      bool* missing) {
    const VTVaultorState* state = this->state();
    const VTDestination* destination = destinationWithGUID(state, stats->computerGUID());
    const bool isTarget = destination && destination->isTarget();

    if (!stats->isConnected() && disconnectedErrors_.contains(stats->disconnectedCode())) {
        const auto phrase = discoCodesMsgs_.constFind(stats->disconnectedCode());
        return VTTextTemplate::fill(
            statusDOTnotReady_,
            {phrase != discoCodesMsgs_.cend() ? std::optional<QString>(*phrase) : std::nullopt},
            missing);
    }
    if (!state->isProcessingStats() && !stats->isEmpty() && isTarget && !stats->isScanning() &&
        !hasFilesSelectedForBackup(stats)) {
        log()->finer([stats] {
            return QStringLiteral(
                       "We have no files selected for backup?\nCurrent stats object:\n%1")
                .arg(VTObjectDump::dumpInfo(stats));
        });
        return statusDOTnoFiles_;
    }
    if (state->isPaused()) {
        return VTTextTemplate::fill(statusDOTsystemPaused_,
                                    {timeUntilForNumber(state->resumeSystemTime())});
    }
    if ((stats->isConnected() && stats->isMaintaining()) || stats->maintainingCache()) {
        return statusDOTmaintaining_;
    }
    if (isTarget && stats->isPaused()) {
        return VTTextTemplate::fill(statusDOTbackupPaused_,
                                    {timeUntilForNumber(stats->resumeTime())});
    }
    if (stats->outOfSpace()) {
        return VTTextTemplate::fill(statusDOToutofspace_, {QStringLiteral("")});
    }
    if (!stats->isConnected()) {
        return VT_disconnectedText(stats, missing);
    }
    if (stats->isValidating()) {
        return statusDOTvalidating_;
    }
    if (stats->isSelectedForBackup()) {
        return VT_selectedForBackupText(stats, destination);
    }
    if (stats->isScanning()) {
        return statusDOTscanning_;
    }
    if (!stats->backupReady()) {
        return VT_notReadyText(stats, missing);
    }
    if (stats->computerStatus() == VTComputerStatusComplete && stats->numRemainingFiles() == 0) {
        return statusDOTcomplete_;
    }
    return VT_scheduleText(stats);
}

QString VTDestinationStatusTextBuilder::VT_disconnectedText(const VTDestinationStats* stats,
                                                            bool* missing) const {
    const int status = stats->computerStatus();
    if (status == VTComputerStatusWarning || status == VTComputerStatusSevere) {
        return VTTextTemplate::fill(statusDOTbackupStatus_,
                                    {timeSinceForNumber(stats->lastBackupTime())}, missing);
    }
    if (stats->isScanning()) {
        return statusDOTscanning_;
    }
    if (status != VTComputerStatusComplete) {
        return VT_waitingText(statusDOTwaitingOnConnection_, stats);
    }
    return statusDOTcomplete_;
}

QString VTDestinationStatusTextBuilder::VT_selectedForBackupText(
    const VTDestinationStats* stats, const VTDestination* destination) const {
    if (stats->isScanning() && !state()->isProcessingStats()) {
        log()->fine([stats, destination] {
            return QStringLiteral(
                       "Computer %1 is both scanning and selected for backup.\nStats:\n%2")
                .arg(destination ? destination->description() : QStringLiteral("(null)"),
                     VTObjectDump::dumpInfo(stats));
        });
    }
    if (stats->isPaused()) {
        return statusDOTwait_;
    }
    const std::optional<QString> estimate =
        stats->estimatedTimeRemainingInSec() > 0
            ? std::optional<QString>(
                  timeDiffString(static_cast<double>(stats->estimatedTimeRemainingInSec())))
            : std::nullopt;
    const std::optional<QString> rate = xferRateStringForStats(
        stats, showActualBandwidth() ? "sendRateInBytesPerSec" : "effectiveTransferRate");
    if (estimate && rate) {
        return VTTextTemplate::fill(msgBackingUpWithTimeEstAndRate_, {estimate, rate});
    }
    if (rate) {
        return VTTextTemplate::fill(msgBackingUpWithRate_, {rate});
    }
    if (estimate) {
        return VTTextTemplate::fill(msgBackingUpWithTimeEst_, {estimate});
    }
    return stats->isScanning() ? msgBackingUpWhileScanning_ : msgBackingUp_;
}

QString VTDestinationStatusTextBuilder::VT_scheduleText(const VTDestinationStats* stats) const {
    if (stats->isWithinScheduledWindow()) {
        const qint64 next = stats->nextBackupTime() / 1000;
        if (!anyDestinationValidating(state()) && next - now() > 0 && !state()->isSending()) {
            return VTTextTemplate::fill(statusDOTnextBackup_,
                                        {timeUntilForNumber(stats->nextBackupTime())});
        }
        return VT_waitingText(statusDOTwaitingForBackup_, stats);
    }
    if (!stats->scheduledTime().isEmpty()) {
        return VTTextTemplate::fill(statusDOTscheduled_, {stats->scheduledTime()});
    }
    return statusNotScheduled_;
}

QString VTDestinationStatusTextBuilder::buildDetailsText(const VTDestinationStats* stats) const {
    if (!stats) {
        return QString();
    }
    const VTFileToDoStats* chosen = nullptr;
    bool analyzing = false;
    for (const VTBackupSetStats* setStats : stats->backupSetsStats()) {
        if (!setStats->sendingFileToDo()->currentFile().isEmpty()) {
            chosen = setStats->sendingFileToDo();
            analyzing = false;
            break;
        }
        if (!setStats->analyzingFileToDo()->currentFile().isEmpty()) {
            chosen = setStats->analyzingFileToDo();
            analyzing = true;
        }
    }
    if (chosen) {
        return VTTextTemplate::fill(
            statusDetailsTemplate_,
            {analyzing ? statusDetailsAnalyzing_ : statusDetailsSending_, chosen->currentFile(),
             percentFormatter().stringFromNumber(chosen->completionRatio())});
    }
    if (stats->isScanning()) {
        return QStringLiteral("");
    }
    // Looked up per count, for the plural form of the translation ("1 Datei", "2 Dateien");
    // English keeps "files" for every count.
    const int count = VT_pluralCount(static_cast<double>(stats->numRemainingFiles()));
    const QString files = localizedStringForInteger(stats->numRemainingFiles());
    if (stats->numRemainingBytes() != 0) {
        return VTTextTemplate::fill(tr("To do: %@ files (%@)", nullptr, count),
                                    {files, unitString(stats->numRemainingBytes())});
    }
    return VTTextTemplate::fill(tr("To do: %@ files", nullptr, count), {files});
}

bool VTDestinationStatusTextBuilder::hasFilesSelectedForBackup(const VTComputerStats* stats) {
    bool selected = false;
    if (stats && state()) {
        for (const VTBackupSet* set : state()->sets()) {
            if (set->destinationGUIDs().contains(stats->computerGUID()) && !set->isPathSetEmpty()) {
                selected = true;
            }
        }
    }
    if (!selected) {
        log()->warning(
            QStringLiteral(
                "WE ARE CLAIMING THE USER HAS NO FILES SELECTED FOR BACKUP!\nCurrent stats "
                "object:\n%1")
                .arg(VTObjectDump::dumpInfo(stats)));
    }
    return selected;
}
