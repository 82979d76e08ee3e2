#include "model/VTAppStateDocument.h"

#include <QJsonArray>

#include "model/VTModelUtils.h"
#include "model/VTStoreAndAnnounce.h"

namespace {

// The dictionary under key; a value that is none reads as an empty one, as
// QJsonValue::toObject gives it.
VTJSONObject dictionaryOrEmpty(const VTJSONObject& document, const char* key) {
    return document.object(QLatin1StringView(key)).value_or(VTJSONObject());
}

}  // namespace

VTAppStateDocument::VTAppStateDocument(const VTJSONObject& document, QObject* parent)
    : VTModelObject(parent) {
    VTModelUtils::setObjPropsFromDictWithTarget(this, classKeyTable(), document);
    os_ = osTypeFromString(document.value(QLatin1StringView("os")).toString());
    VT_buildBackupSets(dictionaryOrEmpty(document, "sets"));
    VT_sortComputers(dictionaryOrEmpty(document, "computers"),
                     VT_actualDestinationGUIDs(dictionaryOrEmpty(document, "OutboundStats")));
}

void VTAppStateDocument::setAlert(bool value) {
    VTStoreAndAnnounce<&VTAppStateDocument::alertChanged>(alert_, value, this);
}

void VTAppStateDocument::setAppBaseName(const QString& value) {
    VTStoreAndAnnounce<&VTAppStateDocument::appBaseNameChanged>(appBaseName_, value, this);
}

void VTAppStateDocument::setIsProClient(bool value) {
    VTStoreAndAnnounce<&VTAppStateDocument::isProClientChanged>(isProClient_, value, this);
}

void VTAppStateDocument::setIsUpgrading(bool value) {
    VTStoreAndAnnounce<&VTAppStateDocument::isUpgradingChanged>(isUpgrading_, value, this);
}

void VTAppStateDocument::setLocale(const QString& value) {
    VTStoreAndAnnounce<&VTAppStateDocument::localeChanged>(locale_, value, this);
}

void VTAppStateDocument::setVersionName(const QString& value) {
    VTStoreAndAnnounce<&VTAppStateDocument::versionNameChanged>(versionName_, value, this);
}

void VTAppStateDocument::setVersionNumber(const QVariant& value) {
    VTStoreAndAnnounce<&VTAppStateDocument::versionNumberChanged>(versionNumber_, value, this);
}

void VTAppStateDocument::setWebsiteHost(const QString& value) {
    VTStoreAndAnnounce<&VTAppStateDocument::websiteHostChanged>(websiteHost_, value, this);
}

VTOSType VTAppStateDocument::osTypeFromString(const QString& text) {
    if (text == u"linux") {
        return VTOSTypeLinux;
    }
    if (text == u"mac") {
        return VTOSTypeMac;
    }
    if (text == u"solaris") {
        return VTOSTypeSolaris;
    }
    if (text == u"win") {
        return VTOSTypeWin;
    }
    return VTOSTypeUnknown;
}

void VTAppStateDocument::VT_buildBackupSets(const VTJSONObject& sets) {
    for (const VTJSONObject& set : sets.valuesAsObjects()) {
        const std::optional<qint64> setID =
            VTModelUtils::identityFromJSON(set.value(QLatin1StringView("id")));
        if (!setID) {
            // A set without an identity cannot be told apart from others; keeping it would
            // fail the whole document when it is placed in a set.
            log()->warning(QStringLiteral("Ignoring a backup set without a usable \"id\""));
            continue;
        }
        auto* backupSet = new VTBackupSet(
            *setID, set.value(QLatin1StringView("name")).toString(),
            VTModelUtils::int64FromJSON(set.value(QLatin1StringView("priority"))), this);
        backupSet->setIsPathSetEmpty(set.value(QLatin1StringView("isPathSetEmpty")).toBool());
        QList<qint64> destinationGUIDs;
        for (const QJsonValue& guid : set.value(QLatin1StringView("destinations")).toArray()) {
            // Read as every other GUID is, so that "2001" names the same destination as 2001.
            if (const auto destinationGUID = VTModelUtils::identityFromJSON(guid)) {
                destinationGUIDs.append(*destinationGUID);
            }
        }
        backupSet->setDestinationGUIDs(destinationGUIDs);
        if (!backupSetObjects_.insert(backupSet)) {
            delete backupSet;
        }
    }
}

QSet<qint64> VTAppStateDocument::VT_actualDestinationGUIDs(
    const VTJSONObject& outboundStats) const {
    QList<QByteArray> setKeys;
    for (const VTBackupSet* backupSet : backupSetObjects_) {
        setKeys.append(QByteArray::number(backupSet->setID()));
    }
    QSet<qint64> guids;
    for (const VTJSONObject& stats : outboundStats.valuesAsObjects()) {
        for (const QByteArray& key : setKeys) {
            if (stats.contains(QLatin1StringView(key))) {
                if (const auto guid =
                        VTModelUtils::identityFromJSON(stats.value(QLatin1StringView("guid")))) {
                    guids.insert(*guid);
                }
                break;
            }
        }
    }
    return guids;
}

void VTAppStateDocument::VT_sortComputers(const VTJSONObject& computers,
                                          const QSet<qint64>& actualDestinations) {
    for (const VTJSONObject& computer : computers.valuesAsObjects()) {
        const std::optional<qint64> guid =
            VTModelUtils::identityFromJSON(computer.value(QLatin1StringView("guid")));
        if (!guid) {
            log()->warning(QStringLiteral("Ignoring a computer without a usable \"guid\""));
            continue;
        }
        if (computer.value(QLatin1StringView("self")).toBool()) {
            thisComputerGUID_ = *guid;
        }
        if (computer.value(QLatin1StringView("target")).toBool() &&
            actualDestinations.contains(*guid)) {
            destinations_.insert(*guid, computer);
        }
        if (computer.value(QLatin1StringView("source")).toBool()) {
            sources_.insert(*guid, computer);
        }
        if (!sources_.contains(*guid) && !destinations_.contains(*guid)) {
            otherComputers_.insert(*guid, computer);
        }
    }
}

const VTKeyTable& VTAppStateDocument::classKeyTable() {
    static const VTKeyTable table = VTKeyTable(staticMetaObject)
                                        .add("alert", QStringLiteral("alert"))
                                        .add("appBaseName", QStringLiteral("appBaseName"))
                                        .add("isProClient", QStringLiteral("proClient"))
                                        .add("isUpgrading", QStringLiteral("upgrading"))
                                        .add("locale", QStringLiteral("locale"))
                                        .add("versionName", QStringLiteral("versionName"))
                                        .add("versionNumber", QStringLiteral("versionNumber"))
                                        .add("websiteHost", QStringLiteral("websiteHost"));
    return table;
}
