#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QLatin1StringView>
#include <QList>
#include <QString>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

class VTJSONDocument;

// A value as the model's setters take it, read without building a QJsonValue around it.
struct VTJSONScalar {
    enum class Kind { Absent, Null, Bool, Number, String, Other };
    static constexpr qint64 kNotWhole = std::numeric_limits<qint64>::min();

    Kind kind = Kind::Absent;
    bool boolean = false;
    // A number as QJsonValue::toDouble and QJsonValue::toInteger(kNotWhole) give it.
    double number = 0;
    qint64 integer = kNotWhole;
    QString text;
};

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
    // The value under key, when it is a boolean, a number or a text; only the kind otherwise.
    VTJSONScalar scalar(QLatin1StringView key) const;
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
    // Every member of every dictionary of a document that is reachable through dictionaries,
    // each dictionary's members side by side in the document's order. Built once per document,
    // so that reading a dictionary allocates nothing.
    using FastMembers = std::vector<FastMember>;
    // Fills members from root, a simdjson::dom::object, and answers the root's object.
    static VTJSONObject collectMembers(const void* root, FastMembers& members);
    // The object of the count members from first on, of a document collected into members.
    VTJSONObject(const FastMember* members, const FastMember* first, uint32_t count)
        : members_(members), first_(first), count_(count), fast_(true) {}
    // The object of a member whose value is a dictionary.
    VTJSONObject nestedObject(const FastMember& member) const;
    // The member under key of an object of a VTJSONDocument, or null.
    const FastMember* fastMember(QLatin1StringView key) const;
    // The values in member order; values that are no dictionaries are passed over, or read
    // as empty ones.
    QList<VTJSONObject> dictionaries(bool keepOthersAsEmpty) const;

    QJsonObject qt_;
    // Set for an object of a VTJSONDocument: where its members lie in the document's.
    const FastMember* members_ = nullptr;
    const FastMember* first_ = nullptr;
    uint32_t count_ = 0;
    bool fast_ = false;
};
