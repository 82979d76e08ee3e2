#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>

// The text of a freedesktop desktop entry (a ".desktop" file): the keys of its
// "[Desktop Entry]" group read with the format's escapes undone, and the entry the client
// writes to start itself. Only the main group is kept; localised keys ("Name[de]") are kept
// under their full name.
class VTDesktopEntry {
  public:
    // None when the text has no "[Desktop Entry]" group.
    static std::optional<VTDesktopEntry> parse(const QByteArray& text);

    // An application entry that runs program (an absolute path) with no arguments.
    static QByteArray applicationEntry(const QString& name, const QString& comment,
                                       const QString& program);

    // The value of the key with the escapes of string values undone; null when absent.
    QString value(const QString& key) const { return values_.value(key); }
    // The boolean value of the key; fallback when absent or neither "true" nor "false".
    bool boolValue(const QString& key, bool fallback) const;

    // The program the "Exec" key runs, its first argument with quoting undone; null when
    // there is none or the quoting is broken.
    QString execProgram() const;

    // One argument of an Exec value, quoted where the format requires it.
    static QString quoteExecArgument(const QString& argument);
    // A string value with the format's escapes applied.
    static QString escapeValue(const QString& value);

  private:
    QHash<QString, QString> values_;
};
