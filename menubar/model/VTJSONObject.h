#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QLatin1StringView>
#include <QList>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

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
    // The text under key, when that value is one. Cheaper than value(): no QJsonValue is built
    // around the text.
    std::optional<QString> string(QLatin1StringView key) const;
    // The dictionary under key, when that value is one.
    std::optional<VTJSONObject> object(QLatin1StringView key) const;
    // The values that are dictionaries, in member order.
    QList<VTJSONObject> objects() const;
    // Every value, in member order, read as a dictionary: one that is not reads as an empty
    // dictionary, as QJsonValue::toObject gives it.
    QList<VTJSONObject> valuesAsObjects() const;

  private:
    friend class VTJSONDocument;
    // One member of an object of a VTJSONDocument; defined where the parser's types are known.
    struct FastMember;
    using FastMembers = std::vector<FastMember>;
    // object points to a simdjson::dom::object.
    static VTJSONObject fromFast(const void* object);
    // The member under key of an object of a VTJSONDocument, or null.
    const FastMember* fastMember(QLatin1StringView key) const;
    // The values in member order; values that are no dictionaries are passed over, or read
    // as empty ones.
    QList<VTJSONObject> dictionaries(bool keepOthersAsEmpty) const;

    QJsonObject qt_;
    // Set for an object of a VTJSONDocument: its members in the document's order.
    std::shared_ptr<const FastMembers> fast_;
};
