#include "messaging/AppStateMessage.h"

AppStateMessage::AppStateMessage() = default;

AppStateMessage::~AppStateMessage() = default;

bool AppStateMessage::VT_processJSON() {
    QMutexLocker locker(&documentLock_);
    if (document_) {
        return true;
    }
    // The statistics accessors may have read the text already; it is read only once.
    document_ = std::make_unique<VTAppStateDocument>(dictForReading());
    return false;
}

const VTAppStateDocument& AppStateMessage::appStateDocument() {
    VT_processJSON();
    return *document_;
}

bool AppStateMessage::alert() {
    return appStateDocument().alert();
}

QString AppStateMessage::appBaseName() {
    return appStateDocument().appBaseName();
}

bool AppStateMessage::isProClient() {
    return appStateDocument().isProClient();
}

bool AppStateMessage::isUpgrading() {
    return appStateDocument().isUpgrading();
}

QString AppStateMessage::locale() {
    return appStateDocument().locale();
}

QString AppStateMessage::versionName() {
    return appStateDocument().versionName();
}

QVariant AppStateMessage::versionNumber() {
    return appStateDocument().versionNumber();
}

QString AppStateMessage::websiteHost() {
    return appStateDocument().websiteHost();
}

VTOSType AppStateMessage::os() {
    return appStateDocument().os();
}

std::optional<qint64> AppStateMessage::thisComputerGUID() const {
    return document_ ? document_->thisComputerGUID() : std::nullopt;
}

const VTUniqueSet<VTBackupSet>& AppStateMessage::backupSetObjects() {
    return appStateDocument().backupSetObjects();
}

const QMap<qint64, VTJSONObject>& AppStateMessage::sources() {
    return appStateDocument().sources();
}

const QMap<qint64, VTJSONObject>& AppStateMessage::destinations() {
    return appStateDocument().destinations();
}

const QMap<qint64, VTJSONObject>& AppStateMessage::otherComputers() {
    return appStateDocument().otherComputers();
}
