#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>

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
};
