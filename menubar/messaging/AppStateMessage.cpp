#include "AppStateMessage.h"

AppStateMessage::AppStateMessage() = default;

AppStateMessage::~AppStateMessage() = default;

bool AppStateMessage::VT_processJSON() {
    QMutexLocker locker(&documentLock_);
    const bool parsedBefore = StatsMessage::VT_processJSON();
    // The statistics accessors may have parsed the text without extracting anything; the
    // extraction happens once, on whichever access comes first.
    if (!document_) {
        document_ = std::make_unique<VTAppStateDocument>(dict());
    }
    return parsedBefore;
}

VTJSONObject AppStateMessage::dictForReading() {
    VT_processJSON();
    return dict();
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
