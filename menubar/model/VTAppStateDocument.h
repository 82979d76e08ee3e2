#pragma once

#include <QMap>
#include <QSet>
#include <QVariant>
#include <optional>

#include "model/VTBackupSet.h"
#include "model/VTJSONObject.h"
#include "model/VTKeyTable.h"
#include "model/VTModelObject.h"
#include "model/VTModelTypes.h"
#include "model/VTUniqueSet.h"

// What the app-state document says about this computer's world: flags and texts, the backup
// sets, and the computer dictionaries sorted into sources, destinations and the others. It is
// read once from the JSON object and does not change afterwards; the backup sets belong to it.
class VTAppStateDocument : public VTModelObject {
    Q_OBJECT
    Q_PROPERTY(bool alert READ alert WRITE setAlert NOTIFY alertChanged)
    Q_PROPERTY(QString appBaseName READ appBaseName WRITE setAppBaseName NOTIFY appBaseNameChanged)
    Q_PROPERTY(bool isProClient READ isProClient WRITE setIsProClient NOTIFY isProClientChanged)
    Q_PROPERTY(bool isUpgrading READ isUpgrading WRITE setIsUpgrading NOTIFY isUpgradingChanged)
    Q_PROPERTY(QString locale READ locale WRITE setLocale NOTIFY localeChanged)
    Q_PROPERTY(QString versionName READ versionName WRITE setVersionName NOTIFY versionNameChanged)
    Q_PROPERTY(QVariant versionNumber READ versionNumber WRITE setVersionNumber NOTIFY
                   versionNumberChanged)
    Q_PROPERTY(QString websiteHost READ websiteHost WRITE setWebsiteHost NOTIFY websiteHostChanged)
  public:
    // An empty document: no flags, no texts, os 99, no collections.
    explicit VTAppStateDocument(QObject* parent = nullptr) : VTModelObject(parent) {}
    // The document must outlive this object when it is an object of a VTJSONDocument: the
    // computer dictionaries are views into it.
    explicit VTAppStateDocument(const VTJSONObject& document, QObject* parent = nullptr);

    bool alert() const { return alert_; }
    void setAlert(bool value);
    const QString& appBaseName() const { return appBaseName_; }
    void setAppBaseName(const QString& value);
    bool isProClient() const { return isProClient_; }
    void setIsProClient(bool value);
    bool isUpgrading() const { return isUpgrading_; }
    void setIsUpgrading(bool value);
    const QString& locale() const { return locale_; }
    void setLocale(const QString& value);
    const QString& versionName() const { return versionName_; }
    void setVersionName(const QString& value);
    const QVariant& versionNumber() const { return versionNumber_; }
    void setVersionNumber(const QVariant& value);
    const QString& websiteHost() const { return websiteHost_; }
    void setWebsiteHost(const QString& value);
    VTOSType os() const { return os_; }
    // The GUID of the computer whose "self" is true (the last one, when several say so).
    std::optional<qint64> thisComputerGUID() const { return thisComputerGUID_; }
    const VTUniqueSet<VTBackupSet>& backupSetObjects() const { return backupSetObjects_; }
    // Computer dictionaries by GUID.
    const QMap<qint64, VTJSONObject>& sources() const { return sources_; }
    // Targets that hold statistics for at least one of the document's sets.
    const QMap<qint64, VTJSONObject>& destinations() const { return destinations_; }
    const QMap<qint64, VTJSONObject>& otherComputers() const { return otherComputers_; }

    // "linux" 1, "mac" 2, "solaris" 3, "win" 4 (exact case); anything else 99.
    static VTOSType osTypeFromString(const QString& text);

  signals:
    void alertChanged();
    void appBaseNameChanged();
    void isProClientChanged();
    void isUpgradingChanged();
    void localeChanged();
    void versionNameChanged();
    void versionNumberChanged();
    void websiteHostChanged();

  private:
    static const VTKeyTable& classKeyTable();
    void VT_buildBackupSets(const VTJSONObject& sets);
    QSet<qint64> VT_actualDestinationGUIDs(const VTJSONObject& outboundStats) const;
    void VT_sortComputers(const VTJSONObject& computers, const QSet<qint64>& actualDestinations);

    bool alert_ = false;
    QString appBaseName_;
    bool isProClient_ = false;
    bool isUpgrading_ = false;
    QString locale_;
    QString versionName_;
    QVariant versionNumber_;
    QString websiteHost_;
    VTOSType os_ = VTOSTypeUnknown;
    std::optional<qint64> thisComputerGUID_;
    VTUniqueSet<VTBackupSet> backupSetObjects_;
    QMap<qint64, VTJSONObject> sources_;
    QMap<qint64, VTJSONObject> destinations_;
    QMap<qint64, VTJSONObject> otherComputers_;
};
