#include "ui/icon/VTThemeNameTransformer.h"

#include <QCoreApplication>

namespace {

// The English display names, in the order of the stored names.
const char* const kDisplayNames[] = {
    QT_TRANSLATE_NOOP("VTThemeNameTransformer", "Dots"),
    QT_TRANSLATE_NOOP("VTThemeNameTransformer", "Colors"),
    QT_TRANSLATE_NOOP("VTThemeNameTransformer", "Gradient"),
    QT_TRANSLATE_NOOP("VTThemeNameTransformer", "No animation"),
};

}  // namespace

const QStringList& VTThemeNameTransformer::themePlistNames() {
    static const QStringList names{QStringLiteral("dots"), QStringLiteral("colors"),
                                   QStringLiteral("gradient"), QStringLiteral("no_animation")};
    return names;
}

QStringList VTThemeNameTransformer::themeDisplayNames() {
    QStringList names;
    for (const char* name : kDisplayNames) {
        names.append(QCoreApplication::translate("VTThemeNameTransformer", name));
    }
    return names;
}

QString VTThemeNameTransformer::transformedValue(const QString& storedName) {
    const qsizetype index = themePlistNames().indexOf(storedName);
    return storedName.isEmpty() || index < 0 ? QString() : themeDisplayNames().at(index);
}

QString VTThemeNameTransformer::reverseTransformedValue(const QString& displayName) {
    const qsizetype index = themeDisplayNames().indexOf(displayName);
    return displayName.isEmpty() || index < 0 ? QString() : themePlistNames().at(index);
}
