#pragma once

#include <QDateTime>
#include <QJsonValue>
#include <QString>
#include <QVariant>
#include <optional>

#include "model/VTJSONObject.h"

#include "model/VTModelTypes.h"

class QObject;
class VTComputer;
class VTKeyTable;

// The model's helpers: copying JSON values into properties, the lenient readings of service
// values, and the per-computer user-default key.
class VTModelUtils {
  public:
    VTModelUtils() = delete;

    // Sets each property of the table on target from the value under its key in newValues,
    // through the property's setter (so custom setters run and notify). A key that is absent,
    // or whose value is JSON null, leaves the property unchanged and makes the result false;
    // a value that cannot be converted to the property's type is logged and skipped.
    static bool setObjPropsFromDictWithTarget(QObject* target, const VTKeyTable& properties,
                                              const VTJSONObject& newValues);
    // Collections and texts by their size, numbers and booleans by their value; null and an
    // absent value are false. The text "0" is truthy.
    static bool truthy(const QVariant& value);
    // True only for "true" in any letter case; a text other than true/false logs a warning.
    static bool BOOLfromJSONBooleanString(const QString& text);
    static QDateTime timeInMillisToDate(double millis);
    // "SEVERE", "WARNING" and "SAFE" (exact case); anything else is unknown.
    static VTBackupStatus stringToBackupStatus(const QString& text);
    // The text's leading signed decimal integer (0 without digits).
    static qint64 int64Value(const QString& text);
    // The double truncated toward zero, held at the ends of the 64-bit range when it lies
    // beyond them (NaN gives 0): the service may send any JSON number, and casting one outside
    // the range is undefined.
    static qint64 clampedInt64(double value);
    // A JSON number as a 64-bit integer: integers exactly, doubles through clampedInt64;
    // anything else gives 0.
    static qint64 int64FromJSON(const QJsonValue& value);
    // A GUID or set ID: a JSON integer (or a double holding one exactly) or its decimal text.
    // Anything else, 0, and doubles that are not whole or lie beyond the 64-bit range are no
    // identity: two such values could not be told apart.
    static std::optional<qint64> identityFromJSON(const QJsonValue& value);
    // a + b, held at the ends of the 64-bit range instead of overflowing.
    static qint64 saturatingAdd(qint64 a, qint64 b);
    // The value, except 0 for the values near the largest 64-bit number: the model's and the
    // service's "no time" (a time that far ahead, in milliseconds, is 292 million years away).
    static qint64 valueOrZeroIfNone(qint64 value);
    // "hide_details_src_<GUID>" for a source, "hide_details_dest_<GUID>" for a destination,
    // a null string for any other computer.
    static QString defaultsKeyDetailsHiddenForComputer(const VTComputer* computer);

    // Milliseconds to whole seconds, truncated toward zero.
    static qint64 inSeconds(qint64 millis) { return millis / 1000; }
    static qint64 currentTimeInSeconds();
};
