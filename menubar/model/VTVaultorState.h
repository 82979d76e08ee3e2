#pragma once

#include <QList>
#include <QSet>

#include "model/BackupStatsSummary.h"
#include "model/VTBackupSet.h"
#include "model/VTComputer.h"
#include "model/VTDestination.h"
#include "model/VTModelObject.h"
#include "model/VTModelTypes.h"
#include "model/VTSource.h"
#include "model/VTStatsDocument.h"
#include "model/VTUniqueSet.h"

class VTAppStateDocument;
class VTUserDefaults;

// The client's one model object: what the service said about this computer's backups, the
// computers and sets it holds, and the derived overall status and pause state. Every property
// announces each time its setter runs (backupStatus only on a real change). Each update ends by
// setting lastUpdated, the presentation's refresh signal, so a subscriber of lastUpdated sees
// everything else already updated. Main thread only.
class VTVaultorState : public VTModelObject {
    Q_OBJECT
    // The collections change only through the add and remove operations, which announce them.
    Q_PROPERTY(QList<VTDestination*> destinations READ destinations NOTIFY destinationsChanged)
    Q_PROPERTY(QList<VTSource*> sources READ sources NOTIFY sourcesChanged)
    Q_PROPERTY(QList<VTComputer*> otherComputers READ otherComputers NOTIFY otherComputersChanged)
    Q_PROPERTY(QList<VTBackupSet*> sets READ sets NOTIFY setsChanged)
    // A VTBackupStatus.
    Q_PROPERTY(int backupStatus READ backupStatus WRITE setBackupStatus NOTIFY backupStatusChanged)
    Q_PROPERTY(bool isConnected READ isConnected WRITE setIsConnected NOTIFY isConnectedChanged)
    // Milliseconds since 1970 when the system-wide pause ends; 0, and the values near the
    // largest 64-bit number, for none.
    Q_PROPERTY(qint64 resumeSystemTime READ resumeSystemTime WRITE setResumeSystemTime NOTIFY
                   resumeSystemTimeChanged)
    Q_PROPERTY(BackupStatsSummary legacyStatsSummary READ legacyStatsSummary WRITE
                   setLegacyStatsSummary NOTIFY legacyStatsSummaryChanged)
    Q_PROPERTY(bool alert READ alert WRITE setAlert NOTIFY alertChanged)
    Q_PROPERTY(QString appBaseName READ appBaseName WRITE setAppBaseName NOTIFY appBaseNameChanged)
    Q_PROPERTY(QString appName READ appName WRITE setAppName NOTIFY appNameChanged)
    Q_PROPERTY(bool hasSources READ hasSources WRITE setHasSources NOTIFY hasSourcesChanged)
    Q_PROPERTY(bool isPaused READ isPaused WRITE setIsPaused NOTIFY isPausedChanged)
    Q_PROPERTY(bool isProcessingStats READ isProcessingStats WRITE setIsProcessingStats NOTIFY
                   isProcessingStatsChanged)
    Q_PROPERTY(bool isProClient READ isProClient WRITE setIsProClient NOTIFY isProClientChanged)
    Q_PROPERTY(bool isReceiving READ isReceiving WRITE setIsReceiving NOTIFY isReceivingChanged)
    Q_PROPERTY(bool isRestoring READ isRestoring WRITE setIsRestoring NOTIFY isRestoringChanged)
    Q_PROPERTY(bool isSending READ isSending WRITE setIsSending NOTIFY isSendingChanged)
    Q_PROPERTY(bool isStarting READ isStarting WRITE setIsStarting NOTIFY isStartingChanged)
    Q_PROPERTY(bool isUpgrading READ isUpgrading WRITE setIsUpgrading NOTIFY isUpgradingChanged)
    Q_PROPERTY(bool isUsingLegacyMessaging READ isUsingLegacyMessaging WRITE
                   setIsUsingLegacyMessaging NOTIFY isUsingLegacyMessagingChanged)
    // Seconds since 1970; announced on every set, also with an unchanged value.
    Q_PROPERTY(qint64 lastUpdated READ lastUpdated WRITE setLastUpdated NOTIFY lastUpdatedChanged)
    Q_PROPERTY(QString locale READ locale WRITE setLocale NOTIFY localeChanged)
    // A VTOSType.
    Q_PROPERTY(int os READ os WRITE setOs NOTIFY osChanged)
    // 0 until the service names this computer.
    Q_PROPERTY(qint64 thisComputerGUID READ thisComputerGUID WRITE setThisComputerGUID NOTIFY
                   thisComputerGUIDChanged)
    Q_PROPERTY(QString versionName READ versionName WRITE setVersionName NOTIFY versionNameChanged)
    Q_PROPERTY(QVariant versionNumber READ versionNumber WRITE setVersionNumber NOTIFY
                   versionNumberChanged)
    Q_PROPERTY(QString websiteHost READ websiteHost WRITE setWebsiteHost NOTIFY websiteHostChanged)
  public:
    // Registers each computer's details default in userDefaults (VTUtils::userDefaults() when
    // null).
    explicit VTVaultorState(VTUserDefaults* userDefaults = nullptr, QObject* parent = nullptr);

    // Updates from the service's documents.
    // The app-state document carries statistics too, read after the computers it names.
    void updateFromAppState(const VTAppStateDocument& appState, const VTStatsDocument& stats);
    void updateFromStats(const VTStatsDocument& stats);
    void updateFromBackupStatsSummary(const BackupStatsSummary& summary);
    void updateFromLegacyBackupStatsSummary(const BackupStatsSummary& summary);

    // The collections, in the order their members were added. Members belong to the state;
    // a removed member is deleted once control returns to the event loop.
    const QList<VTDestination*>& destinations() const { return destinations_.items(); }
    const QList<VTSource*>& sources() const { return sources_.items(); }
    const QList<VTComputer*>& otherComputers() const { return otherComputers_.items(); }
    const QList<VTBackupSet*>& sets() const { return sets_.items(); }
    // Destinations, sources and other computers together (a computer that is both a source and
    // a destination appears as both).
    QList<VTComputer*> allComputers() const;
    QSet<qint64> setIDs() const;
    // The computer of allComputers with that GUID (the first one), or null.
    VTComputer* computerForGUID(qint64 GUID) const;

    void addDestinationsObject(VTDestination* destination);
    void removeDestinationsObject(VTDestination* destination);
    void addSourcesObject(VTSource* source);
    void removeSourcesObject(VTSource* source);
    void addSetsObject(VTBackupSet* set);
    void removeSetsObject(VTBackupSet* set);
    void addOtherComputersObject(VTComputer* computer);
    void removeOtherComputersObject(VTComputer* computer);

    int backupStatus() const { return backupStatus_; }
    // A safe status reads complete while some destination is complete; announced only when
    // the stored value changes.
    void setBackupStatus(int status);
    bool isConnected() const { return isConnected_; }
    // Losing the connection clears the sets and flags (computers stay); gaining it ends
    // the starting phase.
    void setIsConnected(bool connected);
    qint64 resumeSystemTime() const { return resumeSystemTime_; }
    // Also derives isPaused: paused while the time lies in the future (a "no time" value never
    // does).
    void setResumeSystemTime(qint64 millis);
    const BackupStatsSummary& legacyStatsSummary() const { return legacyStatsSummary_; }
    void setLegacyStatsSummary(const BackupStatsSummary& summary);
    bool alert() const { return alert_; }
    void setAlert(bool value);
    const QString& appBaseName() const { return appBaseName_; }
    void setAppBaseName(const QString& value);
    const QString& appName() const { return appName_; }
    void setAppName(const QString& value);
    bool hasSources() const { return hasSources_; }
    void setHasSources(bool value);
    bool isPaused() const { return isPaused_; }
    void setIsPaused(bool value);
    bool isProcessingStats() const { return isProcessingStats_; }
    void setIsProcessingStats(bool value);
    bool isProClient() const { return isProClient_; }
    void setIsProClient(bool value);
    bool isReceiving() const { return isReceiving_; }
    void setIsReceiving(bool value);
    bool isRestoring() const { return isRestoring_; }
    void setIsRestoring(bool value);
    bool isSending() const { return isSending_; }
    void setIsSending(bool value);
    bool isStarting() const { return isStarting_; }
    void setIsStarting(bool value);
    bool isUpgrading() const { return isUpgrading_; }
    void setIsUpgrading(bool value);
    bool isUsingLegacyMessaging() const { return isUsingLegacyMessaging_; }
    void setIsUsingLegacyMessaging(bool value);
    qint64 lastUpdated() const { return lastUpdated_; }
    void setLastUpdated(qint64 value);
    const QString& locale() const { return locale_; }
    void setLocale(const QString& value);
    int os() const { return os_; }
    void setOs(int value);
    qint64 thisComputerGUID() const { return thisComputerGUID_; }
    void setThisComputerGUID(qint64 value);
    const QString& versionName() const { return versionName_; }
    void setVersionName(const QString& value);
    const QVariant& versionNumber() const { return versionNumber_; }
    void setVersionNumber(const QVariant& value);
    const QString& websiteHost() const { return websiteHost_; }
    void setWebsiteHost(const QString& value);

    // Clears the sets, resets the flags and signals lastUpdated.
    void cleanup();
    void resetToSafeDefaultValues();

  signals:
    void destinationsChanged();
    void sourcesChanged();
    void otherComputersChanged();
    void setsChanged();
    void backupStatusChanged();
    void isConnectedChanged();
    void resumeSystemTimeChanged();
    void legacyStatsSummaryChanged();
    void alertChanged();
    void appBaseNameChanged();
    void appNameChanged();
    void hasSourcesChanged();
    void isPausedChanged();
    void isProcessingStatsChanged();
    void isProClientChanged();
    void isReceivingChanged();
    void isRestoringChanged();
    void isSendingChanged();
    void isStartingChanged();
    void isUpgradingChanged();
    void isUsingLegacyMessagingChanged();
    void lastUpdatedChanged();
    void localeChanged();
    void osChanged();
    void thisComputerGUIDChanged();
    void versionNameChanged();
    void versionNumberChanged();
    void websiteHostChanged();

  private:
    void VT_registerDetailsDefault(VTComputer* computer);
    void VT_stampLastUpdated();

    VTUserDefaults* userDefaults_;
    VTUniqueSet<VTDestination> destinations_;
    VTUniqueSet<VTSource> sources_;
    VTUniqueSet<VTComputer> otherComputers_;
    VTUniqueSet<VTBackupSet> sets_;
    int backupStatus_ = VTBackupStatusSafe;
    bool isConnected_ = false;
    qint64 resumeSystemTime_ = 0;
    BackupStatsSummary legacyStatsSummary_;
    bool alert_ = false;
    QString appBaseName_;
    QString appName_;
    bool hasSources_ = false;
    bool isPaused_ = false;
    bool isProcessingStats_ = false;
    bool isProClient_ = false;
    bool isReceiving_ = false;
    bool isRestoring_ = false;
    bool isSending_ = false;
    bool isStarting_ = true;
    bool isUpgrading_ = false;
    bool isUsingLegacyMessaging_ = false;
    qint64 lastUpdated_ = 0;
    QString locale_;
    int os_ = VTOSTypeUnknown;
    qint64 thisComputerGUID_ = 0;
    QString versionName_;
    QVariant versionNumber_;
    QString websiteHost_;
};
