#pragma once

#include <QList>
#include <QString>
#include <optional>

// A folder of XDG autostart entries, the desktop's list of programs started at login: the
// user's ($XDG_CONFIG_HOME/autostart) or the one for all users (under the first folder of
// $XDG_CONFIG_DIRS, /etc/xdg by default). An entry is a ".desktop" file; what it starts is
// the program its Exec key names, looked up in PATH when the name has no folder.
class VTAutostartFolder {
  public:
    struct Entry {
        QString file;     // the entry's absolute path
        QString program;  // the program it starts, resolved to the file itself
    };

    explicit VTAutostartFolder(QString folder) : folder_(std::move(folder)) {}
    static VTAutostartFolder user();
    static VTAutostartFolder allUsers();

    const QString& folder() const { return folder_; }

    // The entries that start an existing program, sorted by file name. Entries that are
    // switched off, broken, or name a program that does not exist are left out, as are files
    // that are not regular files or are too large to be an entry. None when the folder exists
    // but cannot be read; a folder that does not exist holds no entries.
    std::optional<QList<Entry>> entries() const;

    // Writes a new entry that starts program; an existing file is never overwritten. The
    // entry's path, or none when it cannot be written.
    std::optional<QString> add(const QString& program, const QString& name,
                               const QString& comment) const;
    bool remove(const Entry& entry) const;

    // Larger files are not read: no desktop entry comes near it.
    static constexpr qint64 kMaxEntryBytes = 64 * 1024;

  private:
    std::optional<Entry> read(const QString& file) const;

    QString folder_;
};
