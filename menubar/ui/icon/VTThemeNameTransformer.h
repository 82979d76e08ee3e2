#pragma once

#include <QString>
#include <QStringList>

// Converts between the stored names of the icon themes ("dots") and the names the
// preferences show ("Dots", translated). Unlisted or empty names give a null string.
class VTThemeNameTransformer {
  public:
    VTThemeNameTransformer() = delete;

    static const QStringList& themePlistNames();
    // Translated on each call, so a change of language shows at once.
    static QStringList themeDisplayNames();
    static QString transformedValue(const QString& storedName);
    static QString reverseTransformedValue(const QString& displayName);
};
