#include "ui/text/VTSourceStatusTextBuilder.h"

#include "model/VTSourceStats.h"
#include "model/VTVaultorState.h"
#include "ui/text/VTTextTemplate.h"

VTSourceStatusTextBuilder* VTSourceStatusTextBuilder::sharedTextBuilder() {
    static VTSourceStatusTextBuilder* const shared = new VTSourceStatusTextBuilder();
    return shared;
}

VTSourceStatusTextBuilder::VTSourceStatusTextBuilder() {
    VTSourceStatusTextBuilder::retranslate();
}

void VTSourceStatusTextBuilder::retranslate() {
    VTComputerStatusTextBuilder::retranslate();
    statusDOToutofspace_ = tr("Out of space");
}

QVariantMap VTSourceStatusTextBuilder::buildStatusTextDict(const VTComputerStats* stats) {
    const auto* sourceStats = qobject_cast<const VTSourceStats*>(stats);
    if (!sourceStats) {
        log()->warning(
            QStringLiteral("Cannot build a source's status text from statistics of another kind"));
        return {{kTextKey, QString()}};
    }
    if (!state()) {
        log()->warning(
            QStringLiteral("Cannot build a source's status text without the application state"));
        return {{kTextKey, QString()}};
    }
    bool missing = false;
    const QString text = VT_statusText(sourceStats, &missing);
    VT_checkForNull(text, missing, sourceStats);
    return {{kTextKey, text}};
}

QString VTSourceStatusTextBuilder::VT_statusText(const VTComputerStats* stats, bool* missing) {
    if (stats->isBackingUp()) {
        const std::optional<QString> rate =
            xferRateStringForStats(stats, "receiveRateInBytesPerSec");
        if (!stats->isScanning() && rate) {
            return VTTextTemplate::fill(msgBackingUpWithRate_, {rate});
        }
        return msgBackingUp_;
    }
    if (stats->outOfSpace()) {
        return statusDOToutofspace_;
    }
    if (stats->isMaintaining()) {
        return statusDOTmaintaining_;
    }
    if (state()->isPaused()) {
        return VTTextTemplate::fill(statusDOTsystemPaused_,
                                    {timeUntilForNumber(state()->resumeSystemTime())});
    }
    if (!stats->isConnected()) {
        return VT_waitingText(statusDOTwaitingOnConnection_, stats);
    }
    if (!stats->backupReady()) {
        return VT_notReadyText(stats, missing);
    }
    if (stats->computerStatus() == VTComputerStatusComplete) {
        return statusDOTcomplete_;
    }
    if (!stats->isScanning() && !hasFilesSelectedForBackup(stats)) {
        return statusDOTnoFiles_;
    }
    return VT_waitingText(statusDOTwaitingForBackup_, stats);
}

bool VTSourceStatusTextBuilder::hasFilesSelectedForBackup(const VTComputerStats* stats) {
    return stats && stats->numBytesScanned() > 0;
}
