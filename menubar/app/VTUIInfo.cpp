#include "app/VTUIInfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include "app/VTUtils.h"
#include "messaging/VTStringMessage.h"

VTUIInfo* VTUIInfo::sharedInstance() {
    static VTUIInfo instance;  // kept for the life of the process
    return &instance;
}

QStringList VTUIInfo::candidateFolders() {
    QStringList folders;
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    folders << (dataHome.isEmpty() ? QDir::homePath() + QStringLiteral("/.local/share") : dataHome);
    QString dataDirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dataDirs.isEmpty()) {
        dataDirs = QStringLiteral("/usr/local/share:/usr/share");
    }
    for (const QString& folder : dataDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        folders << folder;
    }
    return folders;
}

std::optional<QString> VTUIInfo::uiInfoPath() const {
    const QStringList folders = candidateFolders();
    log()->repeatingWithFormat(VTLogger::Info, "Found (%lu) potential config locations.",
                               static_cast<unsigned long>(folders.size()));
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(QStringLiteral("Vaultor/.ui_info"));
        log()->repeatingWithFormat(VTLogger::Info, "Looking for .ui_info at : %s",
                                   qUtf8Printable(path));
        if (QFileInfo::exists(path)) {
            log()->repeatingWithFormat(VTLogger::Info, "Found .ui_info at : %s",
                                       qUtf8Printable(path));
            return path;
        }
        log()->repeatingWithFormat(VTLogger::Info, "Did not find .ui_info at : %s",
                                   qUtf8Printable(path));
    }
    return std::nullopt;
}

std::optional<QStringList> VTUIInfo::readUIInfo() const {
    const auto path = uiInfoPath();
    if (!path) {
        return std::nullopt;
    }
    QFile file(*path);
    // An endpoint file is a few dozen bytes; anything far larger is not one.
    constexpr qint64 kLargestSensibleFile = 64 * 1024;
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestSensibleFile) {
        const QString reason = file.error() != QFileDevice::NoError
                                   ? file.errorString()
                                   : QStringLiteral("file is too large");
        log()->repeatingWithFormat(VTLogger::Info, "Error reading .ui_info at (%s) : %s",
                                   qUtf8Printable(*path), qUtf8Printable(reason));
        return std::nullopt;
    }
    const auto text = VTStringMessage::decodeUtf8(file.readAll());
    if (!text) {
        log()->repeatingWithFormat(VTLogger::Info, "Error reading .ui_info at (%s) : %s",
                                   qUtf8Printable(*path), "the file is not UTF-8 text");
        return std::nullopt;
    }
    const QString trimmed = text->trimmed();
    if (trimmed.isEmpty()) {
        log()->repeatingWithFormat(VTLogger::Info, "Invalid .ui_info found. File is empty. (%s)",
                                   qUtf8Printable(*path));
        return std::nullopt;
    }
    return trimmed.split(QLatin1Char(','));
}

std::optional<QString> VTUIInfo::field(qsizetype index) const {
    const auto fields = readUIInfo();
    if (!fields || fields->size() <= index) {
        return std::nullopt;
    }
    return fields->at(index);
}

qint64 VTUIInfo::port() const {
    const auto text = field(0);
    return text ? VTUtils::integerValue(*text) : -1;
}

std::optional<QString> VTUIInfo::token() const {
    return field(1);
}

std::optional<QString> VTUIInfo::ipAddress() const {
    return field(2);
}
