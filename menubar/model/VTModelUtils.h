#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>
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
    // "hide_details_src_<GUID>" for a source, "hide_details_dest_<GUID>" for a destination,
    // a null string for any other computer.
    static QString defaultsKeyDetailsHiddenForComputer(const VTComputer* computer);

    // Milliseconds to whole seconds, truncated toward zero.
    static qint64 inSeconds(qint64 millis) { return millis / 1000; }
    static qint64 currentTimeInSeconds();
};
