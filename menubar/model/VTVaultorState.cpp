#include "model/VTVaultorState.h"

#include "app/VTUtils.h"
#include "model/VTAppStateDocument.h"
#include "model/VTModelUtils.h"
#include "model/VTRestoreStats.h"
#include "model/VTStoreAndAnnounce.h"
#include "platform/VTUserDefaults.h"

namespace {

// The member with that GUID, or null.
template <class Computer>
Computer* memberWithGUID(const VTUniqueSet<Computer>& members, qint64 guid) {
    return members.itemMatching([guid](const Computer* member) { return member->GUID() == guid; });
}

// Updates the member of each dictionary's GUID from that dictionary; a GUID without a member
// first gets a new one, added to the state through add.
template <class Computer>
void updateMembers(VTVaultorState* state, const VTUniqueSet<Computer>& members,
                   const QMap<qint64, VTJSONObject>& dicts,
                   void (VTVaultorState::*add)(Computer*)) {
    for (auto entry = dicts.cbegin(); entry != dicts.cend(); ++entry) {
        Computer* member = memberWithGUID(members, entry.key());
        if (!member) {
            member = new Computer(entry.key(), state);
            (state->*add)(member);
        }
        member->updatePropertiesFromDict(entry.value());
    }
}

// Removes from the state, through remove, the members whose GUID no dictionary names.
template <class Computer>
void removeVanishedMembers(VTVaultorState* state, const VTUniqueSet<Computer>& members,
                           const QMap<qint64, VTJSONObject>& dicts,
                           void (VTVaultorState::*remove)(Computer*)) {
    for (Computer* member : QList<Computer*>(members.items())) {
        if (!dicts.contains(member->GUID())) {
            (state->*remove)(member);
        }
    }
}

// Updates the statistics of the member named by each dictionary's "guid", passing over those of
// computers the state does not hold; hands each member then backing up to backingUp and answers
// whether there was one.
template <class Computer, class BackingUp>
bool updateMembersStats(const VTUniqueSet<Computer>& members, const VTJSONObject& section,
                        BackingUp&& backingUp) {
    bool anyBackingUp = false;
    for (const VTJSONObject& stats : section.objects()) {
        // Read as the app-state reads it, so that "guid": "2001" finds computer 2001.
        const std::optional<qint64> guid =
            VTModelUtils::identityFromJSON(stats.value(QLatin1StringView("guid")));
        Computer* member = guid ? memberWithGUID(members, *guid) : nullptr;
        if (!member) {
            continue;
        }
        member->stats()->updatePropertiesFromDict(stats);
        if (member->stats()->isBackingUp()) {
            backingUp(member);
            anyBackingUp = true;
        }
    }
    return anyBackingUp;
}

}  // namespace

VTVaultorState::VTVaultorState(VTUserDefaults* userDefaults, QObject* parent)
    : VTModelObject(parent), userDefaults_(userDefaults ? userDefaults : VTUtils::userDefaults()) {
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

    updateMembers(this, sources_, msg.sources(), &VTVaultorState::addSourcesObject);
    updateMembers(this, destinations_, msg.destinations(), &VTVaultorState::addDestinationsObject);
    // A computer that vanished goes with its statistics; if it comes back it starts afresh.
    removeVanishedMembers(this, sources_, msg.sources(), &VTVaultorState::removeSourcesObject);
    removeVanishedMembers(this, destinations_, msg.destinations(),
                          &VTVaultorState::removeDestinationsObject);
    // Sources kept across a lost connection are found again rather than added, and the reset
    // of the flags on the loss cleared hasSources.
    if (hasSources_ == sources_.isEmpty()) {
        setHasSources(!sources_.isEmpty());
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

    const bool receiving =
        updateMembersStats(sources_, msg.sourceStats(), [this](const VTSource* source) {
            log()->fine([source] {
                return QStringLiteral("Computer %1 is online and backing up to us.")
                    .arg(source->description());
            });
        });
    const bool sending =
        updateMembersStats(destinations_, msg.destinationStats(), [](const VTDestination*) {});

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

// The summary's pause time is milliseconds since 1970 already (see BackupStatsSummary); held
// as a double, so the largest 64-bit value arrives as 2^63, one beyond the range.
qint64 resumeMillisFromSummary(const BackupStatsSummary& summary) {
    return VTModelUtils::clampedInt64(summary.pauseResumeTime());
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
    log()->fine([destination] {
        return QStringLiteral("Adding destination: %1").arg(destination->description());
    });
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
    log()->fine(
        [source] { return QStringLiteral("Adding source: %1").arg(source->description()); });
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
    log()->finer([millis] { return QStringLiteral("Setting resumeSystemTime to %1").arg(millis); });
    // The largest values mean "no time" throughout the model (a time 292 million years away
    // is no moment a pause ends at): the system is not held paused by one, which would never
    // end and would show "resuming in 106751970371 days".
    const qint64 resumeMillis = VTModelUtils::valueOrZeroIfNone(millis);
    if (resumeMillis != millis && millis != resumeSystemTime_) {
        log()->warning(
            QStringLiteral("Resume time %1 is the service's \"no time\": not paused").arg(millis));
    }
    // Compared rather than subtracted: the difference overflows for times near the lowest value.
    setIsPaused(resumeMillis > VTModelUtils::currentTimeInSeconds() * 1000);
    log()->finer(isPaused_ ? QStringLiteral("We ARE paused") : QStringLiteral("We are NOT paused"));
    resumeSystemTime_ = millis;
    emit resumeSystemTimeChanged();
}

void VTVaultorState::setLegacyStatsSummary(const BackupStatsSummary& summary) {
    VTStoreAndAnnounce<&VTVaultorState::legacyStatsSummaryChanged>(legacyStatsSummary_, summary,
                                                                   this);
}

void VTVaultorState::setAlert(bool value) {
    VTStoreAndAnnounce<&VTVaultorState::alertChanged>(alert_, value, this);
}

void VTVaultorState::setAppBaseName(const QString& value) {
    VTStoreAndAnnounce<&VTVaultorState::appBaseNameChanged>(appBaseName_, value, this);
}

void VTVaultorState::setAppName(const QString& value) {
    VTStoreAndAnnounce<&VTVaultorState::appNameChanged>(appName_, value, this);
}

void VTVaultorState::setHasSources(bool value) {
    VTStoreAndAnnounce<&VTVaultorState::hasSourcesChanged>(hasSources_, value, this);
}

void VTVaultorState::setIsPaused(bool value) {
    VTStoreAndAnnounce<&VTVaultorState::isPausedChanged>(isPaused_, value, this);
}

void VTVaultorState::setIsProcessingStats(bool value) {
    VTStoreAndAnnounce<&VTVaultorState::isProcessingStatsChanged>(isProcessingStats_, value, this);
}

void VTVaultorState::setIsProClient(bool value) {
    VTStoreAndAnnounce<&VTVaultorState::isProClientChanged>(isProClient_, value, this);
}

void VTVaultorState::setIsReceiving(bool value) {
    VTStoreAndAnnounce<&VTVaultorState::isReceivingChanged>(isReceiving_, value, this);
}

void VTVaultorState::setIsRestoring(bool value) {
    VTStoreAndAnnounce<&VTVaultorState::isRestoringChanged>(isRestoring_, value, this);
}

void VTVaultorState::setIsSending(bool value) {
    VTStoreAndAnnounce<&VTVaultorState::isSendingChanged>(isSending_, value, this);
}

void VTVaultorState::setIsStarting(bool value) {
    VTStoreAndAnnounce<&VTVaultorState::isStartingChanged>(isStarting_, value, this);
}

void VTVaultorState::setIsUpgrading(bool value) {
    VTStoreAndAnnounce<&VTVaultorState::isUpgradingChanged>(isUpgrading_, value, this);
}

void VTVaultorState::setIsUsingLegacyMessaging(bool value) {
    VTStoreAndAnnounce<&VTVaultorState::isUsingLegacyMessagingChanged>(isUsingLegacyMessaging_,
                                                                       value, this);
}

void VTVaultorState::setLastUpdated(qint64 value) {
    VTStoreAndAnnounce<&VTVaultorState::lastUpdatedChanged>(lastUpdated_, value, this);
}

void VTVaultorState::setLocale(const QString& value) {
    VTStoreAndAnnounce<&VTVaultorState::localeChanged>(locale_, value, this);
}

void VTVaultorState::setOs(int value) {
    VTStoreAndAnnounce<&VTVaultorState::osChanged>(os_, value, this);
}

void VTVaultorState::setThisComputerGUID(qint64 value) {
    VTStoreAndAnnounce<&VTVaultorState::thisComputerGUIDChanged>(thisComputerGUID_, value, this);
}

void VTVaultorState::setVersionName(const QString& value) {
    VTStoreAndAnnounce<&VTVaultorState::versionNameChanged>(versionName_, value, this);
}

void VTVaultorState::setVersionNumber(const QVariant& value) {
    VTStoreAndAnnounce<&VTVaultorState::versionNumberChanged>(versionNumber_, value, this);
}

void VTVaultorState::setWebsiteHost(const QString& value) {
    VTStoreAndAnnounce<&VTVaultorState::websiteHostChanged>(websiteHost_, value, this);
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
    log()->fine([&] {
        return QStringLiteral("Set these defaults %1 for computer: %2")
            .arg(key + QStringLiteral(" = YES"), computer->description());
    });
}

void VTVaultorState::VT_stampLastUpdated() {
    setLastUpdated(VTModelUtils::currentTimeInSeconds());
}
