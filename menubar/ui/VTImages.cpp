#include "ui/VTImages.h"

#include <QHash>

#include "app/VTLogger.h"
#include "app/VTUtils.h"
#include "platform/VTUserDefaults.h"

std::optional<QString> VTImages::pathAtPixelSize(const QImage& image, int pixels) {
    const QString name = image.text(kResourceNameKey);
    if (name.isEmpty()) {
        return std::nullopt;
    }
    return VTUtils::imagePathFromResourceName(QStringLiteral("sizes/%1/%2").arg(pixels).arg(name));
}

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
        VTLogger::sharedLoggerForClass(QStringLiteral("VTUtils"))->fine([&] {
            return QStringLiteral(
                       "Could not load icon named %1 -- note that this is intentional "
                       "after loading the final frame of the menu bar animation.")
                .arg(lookup);
        });
        return QImage();
    }
    QImage image(*path);
    if (!image.isNull()) {
        image.setText(kResourceNameKey, lookup);
        cache.insert(lookup, image);
    }
    return image;
}
