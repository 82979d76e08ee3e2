#pragma once

#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <functional>
#include <optional>

class VTComputer;
class VTDesktopServices;
class VTPropertyObserver;
class VTUserDefaults;
class VTVaultorState;

// The client's shared helpers (class operations only).
class VTUtils {
  public:
    VTUtils() = delete;

    // The information list (resources/Info.json), read once.
    static const QVariantMap& bundleInfoDictionary();
    // Replaces the information list for the rest of the process: tests use it to vary the
    // built-in settings.
    static void overrideBundleInfoDictionary(const QVariantMap& dictionary);

    // The value as stored, or an invalid QVariant when the key is absent.
    static QVariant stringFromDefaultPlist(const QString& key);
    // The boolean reading of the value (false when absent).
    static bool boolFromDefaultPlist(const QString& key);
    // The integer reading of the value's text form (0 when absent).
    static qint64 integerFromDefaultPlist(const QString& key);

    // Lenient readings of text, as a settings file or the endpoint file holds it.
    // Integer: leading white space, an optional sign, digits up to the first non-digit;
    // 0 without digits. Boolean: true when, after white space, an optional sign and
    // leading zeros, the text starts with Y, y, T, t or a digit 1 to 9.
    static qint64 integerValue(const QString& text);
    static bool boolValue(const QString& text);
    static bool boolValue(const QVariant& value);
    // The text form of a stored value (a boolean reads as "1" or "0", a number in decimal).
    static QString textValue(const QVariant& value);

    // The user's preferences (the process-wide store unless tests set another).
    static VTUserDefaults* userDefaults();
    static void setUserDefaults(VTUserDefaults* defaults);
    static void registerDefaults(const QVariantMap& dictionary);
    static bool userDefaultsBool(const QString& key);

    // The resource path of the image "name.png", without theme, or nothing.
    static std::optional<QString> imagePathFromResourceName(const QString& name);

    // Runs the action on target after the delay, on the event loop (also while a menu is
    // open); nothing happens when target is gone by then.
    static void delayWithObject(QObject* target, std::function<void()> action, double seconds);
    // Stops the observation, tolerating one that does not exist.
    static void removeObserverSafelyFrom(QObject* observed, VTPropertyObserver* observer,
                                         const char* keyPath);

    // Logs the message (or "Exiting normally") and ends the application's event loop.
    static void zedQuit(const QString& message = QString());
    // "%1=%2\n" for every property of the object's class and its bases up to QObject, the
    // most derived class first.
    static QString dumpInfo(const QObject* object, const QMetaObject* cls = nullptr);
    static QString isItMsg(bool flag) {
        return flag ? QStringLiteral("IS") : QStringLiteral("is NOT");
    }
    // The client's login items, the desktop's autostart entries that start this program: the
    // user's (allUsers false) or those of all users. An entry counts as the client's when the
    // program it starts has the client's file name, compared without regard to case.
    static void addAppToLoginItems(bool allUsers);
    static void removeAppFromLoginItems(bool allUsers);
    // With exactPath the entry's program must also be the client's own file.
    static bool appAlreadyInLoginItems(bool exactPath, bool allUsers);

    // The desktop that opens addresses and starts programs; none without a screen.
    static VTDesktopServices* desktopServices();
    static void setDesktopServices(VTDesktopServices* services);
    // Opens the account page for the login key in the default browser.
    static void openManageAccountPage(const QString& key, VTVaultorState* state);
};
