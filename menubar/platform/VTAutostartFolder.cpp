#include "platform/VTAutostartFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "platform/VTDesktopEntry.h"

namespace {

QString configHome() {
    const QString home = qEnvironmentVariable("XDG_CONFIG_HOME");
    return QDir::isAbsolutePath(home) ? home : QDir::homePath() + QStringLiteral("/.config");
}

QString firstConfigDir() {
    const QStringList dirs =
        qEnvironmentVariable("XDG_CONFIG_DIRS").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& dir : dirs) {
        if (QDir::isAbsolutePath(dir)) {
            return dir;
        }
    }
    return QStringLiteral("/etc/xdg");
}

// The file the program names, resolved through links; null when there is none.
QString resolveProgram(const QString& program) {
    if (program.isEmpty()) {
        return QString();
    }
    QString path = program;
    if (!program.contains(QLatin1Char('/'))) {
        path = QStandardPaths::findExecutable(program);
    } else if (!QDir::isAbsolutePath(program)) {
        return QString();  // the format allows absolute paths and names in PATH only
    }
    const QFileInfo info(path);
    return info.isFile() ? info.canonicalFilePath() : QString();
}

}  // namespace

VTAutostartFolder VTAutostartFolder::user() {
    return VTAutostartFolder(configHome() + QStringLiteral("/autostart"));
}

VTAutostartFolder VTAutostartFolder::allUsers() {
    return VTAutostartFolder(firstConfigDir() + QStringLiteral("/autostart"));
}

std::optional<QList<VTAutostartFolder::Entry>> VTAutostartFolder::entries() const {
    const QDir dir(folder_);
    if (!dir.exists()) {
        return QList<Entry>();
    }
    if (!QFileInfo(folder_).isReadable()) {
        return std::nullopt;
    }
    QList<Entry> found;
    const QStringList files =
        dir.entryList({QStringLiteral("*.desktop")}, QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : files) {
        if (const auto entry = read(dir.absoluteFilePath(name))) {
            found.append(*entry);
        }
    }
    return found;
}

std::optional<VTAutostartFolder::Entry> VTAutostartFolder::read(const QString& file) const {
    // A FIFO or a device would block or never end; a huge file is no entry.
    const QFileInfo info(file);
    if (!info.isFile() || info.size() > kMaxEntryBytes) {
        return std::nullopt;
    }
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const auto entry = VTDesktopEntry::parse(in.read(kMaxEntryBytes));
    if (!entry || entry->value(QStringLiteral("Type")) != QLatin1String("Application") ||
        entry->boolValue(QStringLiteral("Hidden"), false) ||
        !entry->boolValue(QStringLiteral("X-GNOME-Autostart-enabled"), true)) {
        return std::nullopt;
    }
    const QString program = resolveProgram(entry->execProgram());
    if (program.isEmpty()) {
        return std::nullopt;
    }
    return Entry{info.absoluteFilePath(), program};
}

std::optional<QString> VTAutostartFolder::add(const QString& program, const QString& name,
                                              const QString& comment) const {
    if (!QDir().mkpath(folder_)) {
        return std::nullopt;
    }
    const QString base = QFileInfo(program).fileName();
    QString path = QStringLiteral("%1/%2.desktop").arg(folder_, base);
    for (int n = 2; QFileInfo::exists(path); ++n) {
        path = QStringLiteral("%1/%2-%3.desktop").arg(folder_, base).arg(n);
    }
    // Written aside and renamed into place: the session never reads half an entry.
    QSaveFile file(path);
    const QByteArray text = VTDesktopEntry::applicationEntry(name, comment, program);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        return std::nullopt;
    }
    return path;
}

bool VTAutostartFolder::remove(const Entry& entry) const {
    return QFile::remove(entry.file);
}
