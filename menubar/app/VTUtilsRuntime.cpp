// The parts of VTUtils that touch the running application: preferences, images, delayed
// calls, observation, quitting, dumping objects and opening web pages.
#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QTimer>
#include <QUrl>
#include <cmath>

#include "app/VTDesktopServices.h"
#include "app/VTLogger.h"
#include "app/VTUtils.h"
#include "logging/DDLog.h"
#include "model/VTPropertyObserver.h"
#include "platform/VTUserDefaults.h"
#include "ui/text/VTObjectDump.h"

namespace {

VTLogger* utilsLog() {
    return VTLogger::sharedLoggerForClass(QStringLiteral("VTUtils"));
}

VTDesktopServices*& desktopServicesSlot() {
    static VTDesktopServices* services = nullptr;
    return services;
}

VTUserDefaults*& defaultsSlot() {
    static VTUserDefaults* defaults = nullptr;
    return defaults;
}

// The cache only grows; failed lookups are not cached.
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

void VTUtils::delayWithObject(QObject* target, std::function<void()> action, double seconds) {
    QTimer::singleShot(static_cast<int>(std::lround(std::max(0.0, seconds) * 1000)), target,
                       std::move(action));
}

void VTUtils::removeObserverSafelyFrom(QObject* observed, VTPropertyObserver* observer,
                                       const char* keyPath) {
    if (observer && observer->stopObserving(observed, keyPath)) {
        return;
    }
    utilsLog()->fine([&] {
        return QStringLiteral("Unable to remove `observer` %1 for `observed` %2, caught:\n%3")
            .arg(observer ? observer->metaObject()->className() : "(null)",
                 observed ? observed->metaObject()->className() : "(null)",
                 QStringLiteral("no observation of %1").arg(keyPath));
    });
}

void VTUtils::zedQuit(const QString& message) {
    utilsLog()->info(message.isEmpty() ? QStringLiteral("Exiting normally") : message);
    DDLog::flushLog();
    QCoreApplication::exit(0);
}

QString VTUtils::dumpInfo(const QObject* object, const QMetaObject* cls) {
    return cls ? VTObjectDump::dumpInfo(object, cls) : VTObjectDump::dumpInfo(object);
}

VTDesktopServices* VTUtils::desktopServices() {
    return desktopServicesSlot();
}

void VTUtils::setDesktopServices(VTDesktopServices* services) {
    desktopServicesSlot() = services;
}

void VTUtils::openManageAccountPage(const QString& key, VTVaultorState*) {
    const QUrl url(key);
    if (!url.isValid() || url.scheme().isEmpty()) {
        utilsLog()->warning(QStringLiteral("The service sent no usable account page address."));
        return;
    }
    // A message from a socket must not start whatever handler another scheme has.
    const QString scheme = url.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
        utilsLog()->warning(QStringLiteral("Refused to open an account page address with the "
                                           "scheme \"%1\": only http and https are opened.")
                                .arg(url.scheme()));
        return;
    }
    if (!desktopServices()) {
        utilsLog()->warning(QStringLiteral("No desktop to open the account page in."));
        return;
    }
    desktopServices()->openURL(url);
}
