#include "model/VTComputer.h"

#include "model/VTModelUtils.h"
#include "model/VTStoreAndAnnounce.h"

VTComputer::VTComputer(qint64 GUID, QObject* parent) : VTUnique(parent), GUID_(GUID) {
    setPrime(7);
}

VTComputer* VTComputer::fromGUIDString(const QString& GUIDString, QObject* parent) {
    return new VTComputer(VTModelUtils::int64Value(GUIDString), parent);
}

VTComputer* VTComputer::fromLegacyRecord(const QString& record, QObject* parent) {
    const QStringList fields = record.split(u',');
    VTComputer* computer = fromGUIDString(fields.value(0), parent);
    const auto flag = [&fields](qsizetype index) {
        return VTModelUtils::BOOLfromJSONBooleanString(fields[index]);
    };
    const qsizetype count = fields.size();
    if (count > 1) {
        computer->setName(fields[1]);
    }
    if (count > 2) {
        computer->setHost(fields[2]);
    }
    if (count > 3) {
        computer->setPort(VTModelUtils::int64Value(fields[3]));
    }
    if (count > 5) {
        computer->setIsSelf(flag(5));
    }
    if (count > 6) {
        computer->setIsOwn(flag(6));
    }
    if (count > 7) {
        computer->setIsVTC(flag(7));
    }
    if (count > 8) {
        computer->setIsTarget(flag(8));
    }
    if (count > 9) {
        computer->setIsSource(flag(9));
    }
    if (count > 11) {
        computer->setTimeConnected(fields[11].trimmed().toDouble());
    }
    return computer;
}

void VTComputer::setName(const QString& value) {
    VTStoreAndAnnounce<&VTComputer::nameChanged>(name_, value, this);
}

void VTComputer::setBackupCode(const QString& value) {
    VTStoreAndAnnounce<&VTComputer::backupCodeChanged>(backupCode_, value, this);
}

void VTComputer::setDataKeyChecksumHex(const QString& value) {
    VTStoreAndAnnounce<&VTComputer::dataKeyChecksumHexChanged>(dataKeyChecksumHex_, value, this);
}

void VTComputer::setHost(const QString& value) {
    VTStoreAndAnnounce<&VTComputer::hostChanged>(host_, value, this);
}

void VTComputer::setPort(qint64 value) {
    VTStoreAndAnnounce<&VTComputer::portChanged>(port_, value, this);
}

void VTComputer::setIsBlocked(bool value) {
    VTStoreAndAnnounce<&VTComputer::isBlockedChanged>(isBlocked_, value, this);
}

void VTComputer::setIsVTC(bool value) {
    VTStoreAndAnnounce<&VTComputer::isVTCChanged>(isVTC_, value, this);
}

void VTComputer::setIsOwn(bool value) {
    VTStoreAndAnnounce<&VTComputer::isOwnChanged>(isOwn_, value, this);
}

void VTComputer::setIsSelf(bool value) {
    VTStoreAndAnnounce<&VTComputer::isSelfChanged>(isSelf_, value, this);
}

void VTComputer::setIsSource(bool value) {
    VTStoreAndAnnounce<&VTComputer::isSourceChanged>(isSource_, value, this);
}

void VTComputer::setIsTarget(bool value) {
    VTStoreAndAnnounce<&VTComputer::isTargetChanged>(isTarget_, value, this);
}

void VTComputer::setOfferedBytesOnTarget(qint64 value) {
    VTStoreAndAnnounce<&VTComputer::offeredBytesOnTargetChanged>(offeredBytesOnTarget_, value,
                                                                 this);
}

void VTComputer::setParentGUID(qint64 value) {
    VTStoreAndAnnounce<&VTComputer::parentGUIDChanged>(parentGUID_, value, this);
}

void VTComputer::setUserID(qint64 value) {
    VTStoreAndAnnounce<&VTComputer::userIDChanged>(userID_, value, this);
}

void VTComputer::setTimeConnected(double value) {
    VTStoreAndAnnounce<&VTComputer::timeConnectedChanged>(timeConnected_, value, this);
}

QString VTComputer::description() const {
    return QStringLiteral("Class: %1 - %2 - %3")
        .arg(QString::fromLatin1(metaObject()->className()), name_)
        .arg(GUID_);
}

const VTKeyTable& VTComputer::classKeyTable() {
    static const VTKeyTable table =
        VTKeyTable(VTUnique::classKeyTable(), staticMetaObject)
            .add("name", QStringLiteral("name"))
            .add("backupCode", QStringLiteral("backupCode"))
            .add("dataKeyChecksumHex", QStringLiteral("dataKeyChecksumHex"))
            .add("host", QStringLiteral("address"))
            .add("port", QStringLiteral("port"))
            .add("isBlocked", QStringLiteral("blocked"))
            .add("isVTC", QStringLiteral("vtc"))
            .add("isOwn", QStringLiteral("own"))
            .add("isSelf", QStringLiteral("self"))
            .add("isSource", QStringLiteral("source"))
            .add("offeredBytesOnTarget", QStringLiteral("offeredBytesOnTarget"))
            .add("parentGUID", QStringLiteral("parentGuid"))
            .add("userID", QStringLiteral("userId"));
    return table;
}

VTComputer* zed_computer_for_set(qint64 GUID, const QList<VTComputer*>& computers) {
    for (VTComputer* computer : computers) {
        if (computer->GUID() == GUID) {
            return computer;
        }
    }
    return nullptr;
}
