// The parts of VTUtils that touch the running application: preferences, images, delayed
// calls, observation, quitting, dumping objects and opening web pages.
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QHash>
#include <QTimer>
#include <QUrl>
#include <cmath>

#include "DDLog.h"
#include "VTLogger.h"
#include "VTObjectDump.h"
#include "VTPropertyObserver.h"
#include "VTUserDefaults.h"
#include "VTUtils.h"

namespace {

VTLogger* utilsLog() {
    return VTLogger::sharedLoggerForClass(QStringLiteral("VTUtils"));
}

VTUserDefaults*& defaultsSlot() {
    static VTUserDefaults* defaults = nullptr;
    return defaults;
}

// Both caches only grow; failed lookups are not cached.
QHash<QString, QImage>& imagesFromResourceNames() {
    static QHash<QString, QImage> cache;
    return cache;
}

QHash<QString, QString>& imagePathsFromResourceNames() {
    static QHash<QString, QString> cache;
    return cache;
}

}  // namespace

VTUserDefaults* VTUtils::userDefaults() {
    return defaultsSlot() ? defaultsSlot() : VTUserDefaults::standardUserDefaults();
}

void VTUtils::setUserDefaults(VTUserDefaults* defaults) {
    defaultsSlot() = defaults;
}

void VTUtils::registerDefaults(const QVariantMap& dictionary) {
    userDefaults()->registerDefaults(dictionary);
}

bool VTUtils::userDefaultsBool(const QString& key) {
    return userDefaults()->boolForKey(key);
}

std::optional<QString> VTUtils::imagePathFromResourceName(const QString& name) {
    auto& cache = imagePathsFromResourceNames();
    if (const auto found = cache.constFind(name); found != cache.constEnd()) {
        return *found;
    }
    const QString path = QStringLiteral(":/images/%1.png").arg(name);
    if (!QFile::exists(path)) {
        return std::nullopt;
    }
    cache.insert(name, path);
    return path;
}

QImage VTUtils::imageFromResourceName(const QString& name) {
    const QString theme =
        userDefaults()->stringForKey(QStringLiteral("VTDefaultsKeyIconThemeName"));
    const QString lookup = theme.isEmpty() ? name : QStringLiteral("%1_%2").arg(theme, name);
    auto& cache = imagesFromResourceNames();
    if (const auto found = cache.constFind(lookup); found != cache.constEnd()) {
        return *found;
    }
    const auto path = imagePathFromResourceName(lookup);
    if (!path) {
        utilsLog()->fine(QStringLiteral("Could not load icon named %1 -- note that this is "
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

void VTUtils::delayWithObject(QObject* target, std::function<void()> action, double seconds) {
    QTimer::singleShot(static_cast<int>(std::lround(std::max(0.0, seconds) * 1000)), target,
                       std::move(action));
}

void VTUtils::removeObserverSafelyFrom(QObject* observed, VTPropertyObserver* observer,
                                       const char* keyPath) {
    if (observer && observer->stopObserving(observed, keyPath)) {
        return;
    }
    utilsLog()->fine(QStringLiteral("Unable to remove `observer` %1 for `observed` %2, caught:\n%3")
                         .arg(observer ? observer->metaObject()->className() : "(null)",
                              observed ? observed->metaObject()->className() : "(null)",
                              QStringLiteral("no observation of %1").arg(keyPath)));
}

void VTUtils::zedQuit(const QString& message) {
    utilsLog()->info(message.isEmpty() ? QStringLiteral("Exiting normally") : message);
    DDLog::flushLog();
    QCoreApplication::exit(0);
}

QString VTUtils::dumpInfo(const QObject* object, const QMetaObject* cls) {
    return cls ? VTObjectDump::dumpInfo(object, cls) : VTObjectDump::dumpInfo(object);
}

void VTUtils::openManageAccountPage(const QString& key, VTVaultorState*) {
    const QUrl url(key);
    if (!url.isValid() || url.scheme().isEmpty()) {
        utilsLog()->warning(QStringLiteral("The service sent no usable account page address."));
        return;
    }
    QDesktopServices::openUrl(url);
}
