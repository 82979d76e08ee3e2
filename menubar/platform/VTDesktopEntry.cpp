#include "platform/VTDesktopEntry.h"

#include <QList>
#include <QStringList>
#include <algorithm>

namespace {

// Characters that an Exec argument may hold only inside double quotes.
const QString kReservedInExec = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
// Characters that must be escaped with a backslash inside those quotes.
const QString kEscapedInQuotes = QStringLiteral("\"`$\\");

QString unescapeValue(const QString& raw) {
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c != QLatin1Char('\\') || i + 1 == raw.size()) {
            out += c;
            continue;
        }
        const QChar next = raw[++i];
        switch (next.unicode()) {
            case 's':
                out += QLatin1Char(' ');
                break;
            case 'n':
                out += QLatin1Char('\n');
                break;
            case 't':
                out += QLatin1Char('\t');
                break;
            case 'r':
                out += QLatin1Char('\r');
                break;
            case '\\':
                out += QLatin1Char('\\');
                break;
            default:
                // Not an escape of string values: left for the Exec quoting rules (";" too).
                out += c;
                out += next;
                break;
        }
    }
    return out;
}

}  // namespace

std::optional<VTDesktopEntry> VTDesktopEntry::parse(const QByteArray& text) {
    VTDesktopEntry entry;
    bool found = false;
    bool inMain = false;
    for (const QByteArray& rawLine : text.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        if (line.startsWith(QLatin1Char('['))) {
            inMain = line == QLatin1String("[Desktop Entry]");
            found = found || inMain;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inMain || equals <= 0) {
            continue;
        }
        const QString key = line.left(equals).trimmed();
        // The first of two equal keys counts, as the readers of the format take it.
        if (!entry.values_.contains(key)) {
            entry.values_.insert(key, unescapeValue(line.mid(equals + 1).trimmed()));
        }
    }
    if (!found) {
        return std::nullopt;
    }
    return entry;
}

bool VTDesktopEntry::boolValue(const QString& key, bool fallback) const {
    const QString text = value(key);
    if (text == QLatin1String("true")) {
        return true;
    }
    if (text == QLatin1String("false")) {
        return false;
    }
    return fallback;
}

QString VTDesktopEntry::execProgram() const {
    const QString exec = value(QStringLiteral("Exec")).trimmed();
    QString program;
    bool quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        const bool hasNext = i + 1 < exec.size();
        if (c == QLatin1Char('%') && hasNext && exec[i + 1] == c) {
            program += exec[++i];  // a literal percent sign, quoted or not
        } else if (quoted && c == QLatin1Char('\\') && hasNext &&
                   kEscapedInQuotes.contains(exec[i + 1])) {
            program += exec[++i];
        } else if (c == QLatin1Char('"')) {
            quoted = !quoted;
        } else if (!quoted && (c == QLatin1Char(' ') || c == QLatin1Char('\t'))) {
            break;
        } else {
            program += c;
        }
    }
    return quoted ? QString() : program;
}

QString VTDesktopEntry::quoteExecArgument(const QString& argument) {
    QString out = argument;
    out.replace(QLatin1Char('%'), QStringLiteral("%%"));
    const bool needsQuotes =
        std::any_of(out.begin(), out.end(), [](QChar c) { return kReservedInExec.contains(c); });
    if (!needsQuotes) {
        return out;
    }
    QString quoted = QStringLiteral("\"");
    for (const QChar c : std::as_const(out)) {
        if (kEscapedInQuotes.contains(c)) {
            quoted += QLatin1Char('\\');
        }
        quoted += c;
    }
    return quoted + QLatin1Char('"');
}

QString VTDesktopEntry::escapeValue(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
            case '\\':
                out += QStringLiteral("\\\\");
                break;
            case '\n':
                out += QStringLiteral("\\n");
                break;
            case '\t':
                out += QStringLiteral("\\t");
                break;
            case '\r':
                out += QStringLiteral("\\r");
                break;
            default:
                out += c;
                break;
        }
    }
    if (out.startsWith(QLatin1Char(' '))) {
        out.replace(0, 1, QStringLiteral("\\s"));
    }
    return out;
}

QByteArray VTDesktopEntry::applicationEntry(const QString& name, const QString& comment,
                                            const QString& program) {
    const QStringList lines = {
        QStringLiteral("[Desktop Entry]"),
        QStringLiteral("Type=Application"),
        QStringLiteral("Name=") + escapeValue(name),
        QStringLiteral("Comment=") + escapeValue(comment),
        QStringLiteral("Exec=") + escapeValue(quoteExecArgument(program)),
        QStringLiteral("Terminal=false"),
        QStringLiteral("X-GNOME-Autostart-enabled=true"),
    };
    return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}
