#include "model/VTVaultorState.h"

#include "app/VTUtils.h"
#include "model/VTAppStateDocument.h"
#include "model/VTModelUtils.h"
#include "model/VTRestoreStats.h"
#include "platform/VTUserDefaults.h"

VTVaultorState::VTVaultorState(VTUserDefaults* userDefaults, QObject* parent)
    : VTLoggingObject(parent),
      userDefaults_(userDefaults ? userDefaults : VTUtils::userDefaults()) {
    resetToSafeDefaultValues();
}

void VTVaultorState::updateFromAppState(const VTAppStateDocument& msg,
                                        const VTStatsDocument& stats) {
    setIsProcessingStats(true);
    setAlert(msg.alert());
    setAppBaseName(msg.appBaseName());
    setIsProClient(msg.isProClient());
    setIsUpgrading(msg.isUpgrading());
    setLocale(msg.locale());
    setOs(msg.os());
    setThisComputerGUID(msg.thisComputerGUID().value_or(0));
    setVersionName(msg.versionName());
    setVersionNumber(msg.versionNumber());
    setWebsiteHost(msg.websiteHost());

    // The sets are replaced whole; members are copies, the message's own die with it.
    for (VTBackupSet* set : QList<VTBackupSet*>(sets())) {
        removeSetsObject(set);
    }
    for (const VTBackupSet* set : msg.backupSetObjects()) {
        addSetsObject(set->copy(this));
    }

    const QMap<qint64, QJsonObject>& msgSources = msg.sources();
    for (auto entry = msgSources.cbegin(); entry != msgSources.cend(); ++entry) {
        VTSource* source = sources_.itemMatching(
            [guid = entry.key()](const VTSource* s) { return s->GUID() == guid; });
        if (!source) {
            source = new VTSource(entry.key(), this);
            addSourcesObject(source);
        }
        source->updatePropertiesFromDict(entry.value());
    }
    const QMap<qint64, QJsonObject>& msgDestinations = msg.destinations();
    for (auto entry = msgDestinations.cbegin(); entry != msgDestinations.cend(); ++entry) {
        VTDestination* destination = destinations_.itemMatching(
            [guid = entry.key()](const VTDestination* d) { return d->GUID() == guid; });
        if (!destination) {
            destination = new VTDestination(entry.key(), this);
            addDestinationsObject(destination);
        }
        destination->updatePropertiesFromDict(entry.value());
    }

    // A computer that vanished goes with its statistics; if it comes back it starts afresh.
    for (VTSource* source : QList<VTSource*>(sources())) {
        if (!msgSources.contains(source->GUID())) {
            removeSourcesObject(source);
        }
    }
    for (VTDestination* destination : QList<VTDestination*>(destinations())) {
        if (!msgDestinations.contains(destination->GUID())) {
            removeDestinationsObject(destination);
        }
    }

    updateFromStats(stats);
}

void VTVaultorState::updateFromStats(const VTStatsDocument& msg) {
    bool restoring = false;
    // Only dictionaries can describe a restore or a computer (a GUID of 0 names none), so
    // other values are passed over.
    for (const VTJSONObject& dict : msg.restoreStats().objects()) {
        VTRestoreStats restore;
        restore.updatePropertiesFromDict(dict);
        restoring = restoring || restore.isRestoring();
    }

    bool receiving = false;
    for (const VTJSONObject& stats : msg.sourceStats().objects()) {
        const qint64 guid = stats.value(QLatin1StringView("guid")).toInteger();
        VTSource* source =
            sources_.itemMatching([guid](const VTSource* s) { return s->GUID() == guid; });
        if (!source) {
            continue;
        }
        source->stats()->updatePropertiesFromDict(stats);
        if (source->stats()->isBackingUp()) {
            if (VTLogger::isRecorded(VTLogger::Fine)) {
                log()->fine(QStringLiteral("Computer %1 is online and backing up to us.")
                                .arg(source->description()));
            }
            receiving = true;
        }
    }

    bool sending = false;
    for (const VTJSONObject& stats : msg.destinationStats().objects()) {
        const qint64 guid = stats.value(QLatin1StringView("guid")).toInteger();
        VTDestination* destination = destinations_.itemMatching(
            [guid](const VTDestination* d) { return d->GUID() == guid; });
        if (!destination) {
            continue;
        }
        destination->stats()->updatePropertiesFromDict(stats);
        sending = sending || destination->stats()->isBackingUp();
    }

    setResumeSystemTime(msg.resumeSystemTime());
    setIsRestoring(restoring);
    setIsReceiving(receiving);
    setIsSending(sending);
    setBackupStatus(msg.backupStatus());
    setIsProcessingStats(false);
    VT_stampLastUpdated();
}

namespace {

// The legacy status code: 0 severe, 1 warning, 2 safe.
VTBackupStatus backupStatusFromLegacyCode(qint32 code) {
    switch (code) {
        case 0:
            return VTBackupStatusSevere;
        case 1:
            return VTBackupStatusWarning;
        case 2:
            return VTBackupStatusSafe;
        default:
            return VTBackupStatusUnknown;
    }
}

// The summary's pause time is milliseconds since 1970 already (see BackupStatsSummary).
qint64 resumeMillisFromSummary(const BackupStatsSummary& summary) {
    return static_cast<qint64>(summary.pauseResumeTime());
}

}  // namespace

void VTVaultorState::updateFromBackupStatsSummary(const BackupStatsSummary& summary) {
    if (isUsingLegacyMessaging_) {
        updateFromLegacyBackupStatsSummary(summary);
    }
    setIsReceiving(summary.isReceiving());
    setIsSending(summary.isSending());
    setIsRestoring(summary.isRestoringFrom());
    setResumeSystemTime(resumeMillisFromSummary(summary));
    setBackupStatus(backupStatusFromLegacyCode(summary.backupStatus()));
    VT_stampLastUpdated();
}

void VTVaultorState::updateFromLegacyBackupStatsSummary(const BackupStatsSummary& summary) {
    setLegacyStatsSummary(summary);
    setResumeSystemTime(resumeMillisFromSummary(summary));
    setBackupStatus(backupStatusFromLegacyCode(summary.backupStatus()));
    if (sets_.isEmpty()) {
        addSetsObject(new VTBackupSet(1, QStringLiteral("Default"), 1, this));
    }
}

QList<VTComputer*> VTVaultorState::allComputers() const {
    VTUniqueSet<VTComputer> all;
    all.unite(destinations_);
    all.unite(sources_);
    all.unite(otherComputers_);
    return all.items();
}

QSet<qint64> VTVaultorState::setIDs() const {
    QSet<qint64> ids;
    for (const VTBackupSet* set : sets_) {
        ids.insert(set->setID());
    }
    return ids;
}

VTComputer* VTVaultorState::computerForGUID(qint64 GUID) const {
    return zed_computer_for_set(GUID, allComputers());
}

void VTVaultorState::addDestinationsObject(VTDestination* destination) {
    if (!destination) {
        log()->warning(QStringLiteral("Asked to add nothing to destinations"));
        return;
    }
    log()->fine(QStringLiteral("Adding destination: %1").arg(destination->description()));
    destination->setIsTarget(true);
    VT_registerDetailsDefault(destination);
    destination->setParent(this);
    if (destinations_.insert(destination)) {
        emit destinationsChanged();
    }
}

void VTVaultorState::removeDestinationsObject(VTDestination* destination) {
    if (VTDestination* member = destinations_.remove(destination)) {
        emit destinationsChanged();
        member->deleteLater();
    }
}

void VTVaultorState::addSourcesObject(VTSource* source) {
    if (!source) {
        log()->warning(QStringLiteral("Asked to add nothing to sources"));
        return;
    }
    log()->fine(QStringLiteral("Adding source: %1").arg(source->description()));
    VT_registerDetailsDefault(source);
    source->setParent(this);
    if (sources_.insert(source)) {
        emit sourcesChanged();
    }
    setHasSources(true);
}

void VTVaultorState::removeSourcesObject(VTSource* source) {
    if (VTSource* member = sources_.remove(source)) {
        emit sourcesChanged();
        member->deleteLater();
    }
    if (sources_.isEmpty()) {
        setHasSources(false);
    }
}

void VTVaultorState::addSetsObject(VTBackupSet* set) {
    if (!set) {
        log()->warning(QStringLiteral("Asked to add nothing to sets"));
        return;
    }
    set->setParent(this);
    if (sets_.insert(set)) {
        emit setsChanged();
    }
}

void VTVaultorState::removeSetsObject(VTBackupSet* set) {
    if (VTBackupSet* member = sets_.remove(set)) {
        emit setsChanged();
        member->deleteLater();
    }
}

void VTVaultorState::addOtherComputersObject(VTComputer* computer) {
    if (!computer) {
        log()->warning(QStringLiteral("Asked to add nothing to otherComputers"));
        return;
    }
    computer->setParent(this);
    if (otherComputers_.insert(computer)) {
        emit otherComputersChanged();
    }
}

void VTVaultorState::removeOtherComputersObject(VTComputer* computer) {
    if (VTComputer* member = otherComputers_.remove(computer)) {
        emit otherComputersChanged();
        member->deleteLater();
    }
}

void VTVaultorState::setBackupStatus(int status) {
    if (status == VTBackupStatusSafe) {
        for (const VTDestination* destination : destinations_) {
            const int computerStatus = destination->stats()->computerStatus();
            if (computerStatus >= VTComputerStatusComplete) {
                if (computerStatus == VTComputerStatusComplete) {
                    status = VTBackupStatusComplete;
                }
                break;
            }
        }
    }
    if (status == backupStatus_) {
        return;
    }
    backupStatus_ = status;
    emit backupStatusChanged();
}

void VTVaultorState::setIsConnected(bool connected) {
    isConnected_ = connected;
    emit isConnectedChanged();
    if (!connected) {
        cleanup();
        setLegacyStatsSummary(BackupStatsSummary());
    } else {
        setIsStarting(false);
    }
}

void VTVaultorState::setResumeSystemTime(qint64 millis) {
    log()->finerWithFormat("Setting resumeSystemTime to %lld", static_cast<long long>(millis));
    setIsPaused(millis - VTModelUtils::currentTimeInSeconds() * 1000 > 0);
    log()->finer(isPaused_ ? QStringLiteral("We ARE paused") : QStringLiteral("We are NOT paused"));
    resumeSystemTime_ = millis;
    emit resumeSystemTimeChanged();
}

void VTVaultorState::setLegacyStatsSummary(const BackupStatsSummary& summary) {
    legacyStatsSummary_ = summary;
    emit legacyStatsSummaryChanged();
}

void VTVaultorState::setAlert(bool value) {
    alert_ = value;
    emit alertChanged();
}

void VTVaultorState::setAppBaseName(const QString& value) {
    appBaseName_ = value;
    emit appBaseNameChanged();
}

void VTVaultorState::setAppName(const QString& value) {
    appName_ = value;
    emit appNameChanged();
}

void VTVaultorState::setHasSources(bool value) {
    hasSources_ = value;
    emit hasSourcesChanged();
}

void VTVaultorState::setIsPaused(bool value) {
    isPaused_ = value;
    emit isPausedChanged();
}

void VTVaultorState::setIsProcessingStats(bool value) {
    isProcessingStats_ = value;
    emit isProcessingStatsChanged();
}

void VTVaultorState::setIsProClient(bool value) {
    isProClient_ = value;
    emit isProClientChanged();
}

void VTVaultorState::setIsReceiving(bool value) {
    isReceiving_ = value;
    emit isReceivingChanged();
}

void VTVaultorState::setIsRestoring(bool value) {
    isRestoring_ = value;
    emit isRestoringChanged();
}

void VTVaultorState::setIsSending(bool value) {
    isSending_ = value;
    emit isSendingChanged();
}

void VTVaultorState::setIsStarting(bool value) {
    isStarting_ = value;
    emit isStartingChanged();
}

void VTVaultorState::setIsUpgrading(bool value) {
    isUpgrading_ = value;
    emit isUpgradingChanged();
}

void VTVaultorState::setIsUsingLegacyMessaging(bool value) {
    isUsingLegacyMessaging_ = value;
    emit isUsingLegacyMessagingChanged();
}

void VTVaultorState::setLastUpdated(qint64 value) {
    lastUpdated_ = value;
    emit lastUpdatedChanged();
}

void VTVaultorState::setLocale(const QString& value) {
    locale_ = value;
    emit localeChanged();
}

void VTVaultorState::setOs(int value) {
    os_ = value;
    emit osChanged();
}

void VTVaultorState::setThisComputerGUID(qint64 value) {
    thisComputerGUID_ = value;
    emit thisComputerGUIDChanged();
}

void VTVaultorState::setVersionName(const QString& value) {
    versionName_ = value;
    emit versionNameChanged();
}

void VTVaultorState::setVersionNumber(const QVariant& value) {
    versionNumber_ = value;
    emit versionNumberChanged();
}

void VTVaultorState::setWebsiteHost(const QString& value) {
    websiteHost_ = value;
    emit websiteHostChanged();
}

void VTVaultorState::cleanup() {
    for (VTBackupSet* set : QList<VTBackupSet*>(sets())) {
        removeSetsObject(set);
    }
    resetToSafeDefaultValues();
    VT_stampLastUpdated();
}

void VTVaultorState::resetToSafeDefaultValues() {
    setAlert(false);
    setAppBaseName(QString());
    setAppName(QString());
    setBackupStatus(VTBackupStatusSafe);
    setHasSources(false);
    setIsPaused(false);
    setIsProClient(false);
    setIsReceiving(false);
    setIsRestoring(false);
    setIsSending(false);
    setLocale(QString());
    setOs(VTOSTypeUnknown);
    setResumeSystemTime(0);
    setVersionName(QString());
    setVersionNumber(QVariant());
    setWebsiteHost(QString());
    setLastUpdated(0);
}

void VTVaultorState::VT_registerDetailsDefault(VTComputer* computer) {
    const QString key = VTModelUtils::defaultsKeyDetailsHiddenForComputer(computer);
    if (key.isNull()) {
        return;
    }
    const QVariantMap defaults{{key, true}};
    userDefaults_->registerDefaults(defaults);
    log()->fine(QStringLiteral("Set these defaults %1 for computer: %2")
                    .arg(key + QStringLiteral(" = YES"), computer->description()));
}

void VTVaultorState::VT_stampLastUpdated() {
    setLastUpdated(VTModelUtils::currentTimeInSeconds());
}
