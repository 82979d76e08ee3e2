#include "AppStateMessage.h"

AppStateMessage::AppStateMessage() = default;

AppStateMessage::~AppStateMessage() = default;

bool AppStateMessage::VT_processJSON() {
    QMutexLocker locker(&documentLock_);
    // The statistics accessors may have parsed the text already; extraction still happens
    // exactly once.
    if (StatsMessage::VT_processJSON() && document_) {
        return true;
    }
    document_ = std::make_unique<VTAppStateDocument>(dict());
    return false;
}

const VTAppStateDocument& AppStateMessage::VT_document() {
    VT_processJSON();
    return *document_;
}

bool AppStateMessage::alert() {
    return VT_document().alert();
}

QString AppStateMessage::appBaseName() {
    return VT_document().appBaseName();
}

bool AppStateMessage::isProClient() {
    return VT_document().isProClient();
}

bool AppStateMessage::isUpgrading() {
    return VT_document().isUpgrading();
}

QString AppStateMessage::locale() {
    return VT_document().locale();
}

QString AppStateMessage::versionName() {
    return VT_document().versionName();
}

QVariant AppStateMessage::versionNumber() {
    return VT_document().versionNumber();
}

QString AppStateMessage::websiteHost() {
    return VT_document().websiteHost();
}

VTOSType AppStateMessage::os() {
    return VT_document().os();
}

std::optional<qint64> AppStateMessage::thisComputerGUID() const {
    return document_ ? document_->thisComputerGUID() : std::nullopt;
}

const VTUniqueSet<VTBackupSet>& AppStateMessage::backupSetObjects() {
    return VT_document().backupSetObjects();
}

const QMap<qint64, QJsonObject>& AppStateMessage::sources() {
    return VT_document().sources();
}

const QMap<qint64, QJsonObject>& AppStateMessage::destinations() {
    return VT_document().destinations();
}

const QMap<qint64, QJsonObject>& AppStateMessage::otherComputers() {
    return VT_document().otherComputers();
}
