#pragma once

#include <QJsonValue>
#include <QString>
#include <optional>

// The text form of a JSON value: strings as they are, whole numbers in decimal without
// a fraction or exponent (64-bit GUIDs stay exact), booleans as "true"/"false".
namespace VTJSONText {
std::optional<QString> textOf(const QJsonValue& value);
}
