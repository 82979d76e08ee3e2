#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QLatin1StringView>
#include <QList>
#include <optional>

class VTJSONDocument;

// A JSON dictionary as the model reads it: a QJsonObject, or an object inside a VTJSONDocument
// (which must outlive it). Both read alike: a key that repeats reads as its last value, and the
// members are visited in QJsonObject's order, by key in UTF-16 order. Values come out as
// QJsonValue, so that numbers, texts and booleans convert exactly as QJsonObject's do.
class VTJSONObject {
  public:
    VTJSONObject() = default;
    // Every QJsonObject reads as a dictionary.
    VTJSONObject(const QJsonObject& object);  // NOLINT(google-explicit-constructor)

    bool contains(QLatin1StringView key) const;
    // The value under key (undefined when absent); a nested dictionary or array is built
    // as a QJsonValue, so prefer object() for dictionaries.
    QJsonValue value(QLatin1StringView key) const;
    // The dictionary under key, when that value is one.
    std::optional<VTJSONObject> object(QLatin1StringView key) const;
    // The values that are dictionaries, in member order.
    QList<VTJSONObject> objects() const;

  private:
    friend class VTJSONDocument;
    // A simdjson DOM object, kept as its bytes (the document's address and a position in its
    // tape) so that this header stays free of the parser's.
    struct FastObject {
        alignas(8) unsigned char bytes[16];
    };
    // object points to a simdjson::dom::object.
    static VTJSONObject fromFast(const void* object);

    QJsonObject qt_;
    std::optional<FastObject> fast_;
};
