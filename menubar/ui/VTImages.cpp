#include "ui/VTImages.h"

#include <QHash>

#include "app/VTLogger.h"
#include "app/VTUtils.h"
#include "platform/VTUserDefaults.h"

QImage VTImages::imageFromResourceName(const QString& name) {
    // The cache only grows; failed lookups are not cached.
    static QHash<QString, QImage> cache;
    const QString theme =
        VTUtils::userDefaults()->stringForKey(QStringLiteral("VTDefaultsKeyIconThemeName"));
    const QString lookup = theme.isEmpty() ? name : QStringLiteral("%1_%2").arg(theme, name);
    if (const auto found = cache.constFind(lookup); found != cache.constEnd()) {
        return *found;
    }
    const auto path = VTUtils::imagePathFromResourceName(lookup);
    if (!path) {
        VTLogger::sharedLoggerForClass(QStringLiteral("VTUtils"))
            ->fine(QStringLiteral("Could not load icon named %1 -- note that this is "
                                  "intentional after loading the final frame of the menu "
                                  "bar animation.")
                       .arg(lookup));
        return QImage();
    }
    QImage image(*path);
    if (!image.isNull()) {
        cache.insert(lookup, image);
    }
    return image;
}
