#include "model/VTJSONObject.h"

#include <simdjson.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QString>
#include <algorithm>
#include <cstring>
#include <string_view>

#include "model/VTJSONFastMember.h"

namespace {

// QJsonObject keeps its keys in UTF-16 order. UTF-8 bytes sort in code point order, which
// differs from UTF-16 order only between two non-ASCII characters, so only then are the keys
// compared as UTF-16.
bool keyLess(std::string_view a, std::string_view b) {
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const auto byteA = static_cast<unsigned char>(a[i]);
        const auto byteB = static_cast<unsigned char>(b[i]);
        if (byteA == byteB) {
            continue;
        }
        if (byteA < 0x80 || byteB < 0x80) {
            return byteA < byteB;
        }
        return QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size())) <
               QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size()));
    }
    return a.size() < b.size();
}

// The value as QJsonDocument::fromJson would have read it: whole numbers that fit 64 bits
// signed are integers, every other number a double.
QJsonValue qtValue(const simdjson::dom::element& element) {
    switch (element.type()) {
        case simdjson::dom::element_type::INT64:
            return QJsonValue(static_cast<qint64>(element.get_int64().value_unsafe()));
        case simdjson::dom::element_type::UINT64:
            return QJsonValue(static_cast<double>(element.get_uint64().value_unsafe()));
        case simdjson::dom::element_type::DOUBLE:
            return QJsonValue(element.get_double().value_unsafe());
        case simdjson::dom::element_type::STRING: {
            const std::string_view text = element.get_string().value_unsafe();
            return QJsonValue(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        }
        case simdjson::dom::element_type::BOOL:
            return QJsonValue(element.get_bool().value_unsafe());
        case simdjson::dom::element_type::NULL_VALUE:
            return QJsonValue(QJsonValue::Null);
        case simdjson::dom::element_type::ARRAY:
        case simdjson::dom::element_type::OBJECT: {
            // Rare in the documents the model reads: built through Qt's own reader.
            const std::string text = simdjson::minify(element);
            const QJsonDocument document = QJsonDocument::fromJson(
                QByteArray(text.data(), static_cast<qsizetype>(text.size())));
            return document.isObject() ? QJsonValue(document.object())
                                       : QJsonValue(document.array());
        }
    }
    return QJsonValue(QJsonValue::Undefined);
}

}  // namespace

VTJSONObject::VTJSONObject(const QJsonObject& object) : qt_(object) {}

VTJSONObject VTJSONObject::collectMembers(const void* root, FastMembers& members) {
    members.clear();
    for (const simdjson::dom::key_value_pair member :
         *static_cast<const simdjson::dom::object*>(root)) {
        members.push_back({member.key, member.value});
    }
    const auto rootCount = static_cast<uint32_t>(members.size());
    // Breadth first, so that each dictionary's members are appended side by side, without
    // recursion however deep the document nests.
    for (size_t i = 0; i < members.size(); ++i) {
        simdjson::dom::object nested;
        if (members[i].value.get(nested) != simdjson::SUCCESS) {
            continue;
        }
        const size_t begin = members.size();
        for (const simdjson::dom::key_value_pair member : nested) {
            members.push_back({member.key, member.value});
        }
        members[i].childBegin = static_cast<uint32_t>(begin);
        members[i].childCount = static_cast<uint32_t>(members.size() - begin);
    }
    return VTJSONObject(members.data(), members.data(), rootCount);
}

VTJSONObject VTJSONObject::nestedObject(const FastMember& member) const {
    return VTJSONObject(members_, members_ + member.childBegin, member.childCount);
}

const VTJSONObject::FastMember* VTJSONObject::fastMember(QLatin1StringView key) const {
    // From the end, as the last value of a repeated key counts. Objects hold a few dozen
    // members at most, so a walk beats any index.
    const std::string_view wanted(key.data(), static_cast<size_t>(key.size()));
    for (const FastMember* member = first_ + count_; member != first_;) {
        --member;
        if (member->key == wanted) {
            return member;
        }
    }
    return nullptr;
}

namespace {

// As QJsonValue::toInteger(kNotWhole) reads a double: whole and within 64 bits, or kNotWhole.
qint64 wholeOrNot(double number) {
    constexpr double kBeyondLargest = 9223372036854775808.0;
    if (!(number >= -kBeyondLargest && number < kBeyondLargest)) {
        return VTJSONScalar::kNotWhole;
    }
    const auto whole = static_cast<qint64>(number);
    return static_cast<double>(whole) == number ? whole : VTJSONScalar::kNotWhole;
}

VTJSONScalar scalarOf(const QJsonValue& value) {
    VTJSONScalar scalar;
    switch (value.type()) {
        case QJsonValue::Undefined:
            break;
        case QJsonValue::Null:
            scalar.kind = VTJSONScalar::Kind::Null;
            break;
        case QJsonValue::Bool:
            scalar.kind = VTJSONScalar::Kind::Bool;
            scalar.boolean = value.toBool();
            break;
        case QJsonValue::Double:
            scalar.kind = VTJSONScalar::Kind::Number;
            scalar.number = value.toDouble();
            scalar.integer = value.toInteger(VTJSONScalar::kNotWhole);
            break;
        case QJsonValue::String:
            scalar.kind = VTJSONScalar::Kind::String;
            scalar.text = value.toString();
            break;
        default:
            scalar.kind = VTJSONScalar::Kind::Other;
            break;
    }
    return scalar;
}

// The same reading as scalarOf(qtValue(element)), without the QJsonValue.
VTJSONScalar scalarOf(const simdjson::dom::element& element) {
    VTJSONScalar scalar;
    switch (element.type()) {
        case simdjson::dom::element_type::INT64: {
            const int64_t integer = element.get_int64().value_unsafe();
            scalar.kind = VTJSONScalar::Kind::Number;
            scalar.number = static_cast<double>(integer);
            scalar.integer = integer;
            break;
        }
        case simdjson::dom::element_type::UINT64:
            scalar.kind = VTJSONScalar::Kind::Number;
            scalar.number = static_cast<double>(element.get_uint64().value_unsafe());
            scalar.integer = wholeOrNot(scalar.number);
            break;
        case simdjson::dom::element_type::DOUBLE:
            scalar.kind = VTJSONScalar::Kind::Number;
            scalar.number = element.get_double().value_unsafe();
            scalar.integer = wholeOrNot(scalar.number);
            break;
        case simdjson::dom::element_type::STRING: {
            const std::string_view text = element.get_string().value_unsafe();
            scalar.kind = VTJSONScalar::Kind::String;
            scalar.text = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
            break;
        }
        case simdjson::dom::element_type::BOOL:
            scalar.kind = VTJSONScalar::Kind::Bool;
            scalar.boolean = element.get_bool().value_unsafe();
            break;
        case simdjson::dom::element_type::NULL_VALUE:
            scalar.kind = VTJSONScalar::Kind::Null;
            break;
        case simdjson::dom::element_type::ARRAY:
        case simdjson::dom::element_type::OBJECT:
            scalar.kind = VTJSONScalar::Kind::Other;
            break;
    }
    return scalar;
}

}  // namespace

VTJSONScalar VTJSONObject::scalar(QLatin1StringView key) const {
    if (!fast_) {
        return scalarOf(qt_.value(key));
    }
    const FastMember* member = fastMember(key);
    return member ? scalarOf(member->value) : VTJSONScalar();
}

bool VTJSONObject::contains(QLatin1StringView key) const {
    return fast_ ? fastMember(key) != nullptr : qt_.contains(key);
}

QJsonValue VTJSONObject::value(QLatin1StringView key) const {
    if (!fast_) {
        return qt_.value(key);
    }
    const FastMember* member = fastMember(key);
    return member ? qtValue(member->value) : QJsonValue(QJsonValue::Undefined);
}

std::optional<QString> VTJSONObject::string(QLatin1StringView key) const {
    if (!fast_) {
        const auto found = qt_.constFind(key);
        if (found == qt_.constEnd() || !found->isString()) {
            return std::nullopt;
        }
        return found->toString();
    }
    const FastMember* member = fastMember(key);
    if (!member || !member->value.is_string()) {
        return std::nullopt;
    }
    const std::string_view text = member->value.get_string().value_unsafe();
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::optional<VTJSONObject> VTJSONObject::object(QLatin1StringView key) const {
    if (!fast_) {
        const auto found = qt_.constFind(key);
        if (found == qt_.constEnd() || !found->isObject()) {
            return std::nullopt;
        }
        return VTJSONObject(found->toObject());
    }
    const FastMember* member = fastMember(key);
    if (!member || !member->value.is_object()) {
        return std::nullopt;
    }
    return nestedObject(*member);
}

QList<VTJSONObject> VTJSONObject::objects() const {
    return dictionaries(false);
}

QList<VTJSONObject> VTJSONObject::valuesAsObjects() const {
    return dictionaries(true);
}

QList<VTJSONObject> VTJSONObject::dictionaries(bool keepOthersAsEmpty) const {
    QList<VTJSONObject> result;
    if (!fast_) {
        for (const QJsonValue& value : qt_) {
            if (value.isObject() || keepOthersAsEmpty) {
                result.append(VTJSONObject(value.toObject()));
            }
        }
        return result;
    }
    // As QJsonDocument does: by key, and of a repeated key only the last value. Only what can
    // be in the result is sorted: for the dictionaries alone, those whose key no later member
    // of another kind repeats.
    const FastMember* const end = first_ + count_;
    std::vector<const FastMember*> ordered;
    ordered.reserve(count_);
    for (const FastMember* member = first_; member != end; ++member) {
        if (keepOthersAsEmpty || member->value.is_object()) {
            ordered.push_back(member);
        }
    }
    if (ordered.size() < count_) {
        std::erase_if(ordered, [end](const FastMember* dictionary) {
            return std::any_of(dictionary + 1, end, [dictionary](const FastMember& later) {
                return !later.value.is_object() && later.key == dictionary->key;
            });
        });
    }
    const auto less = [](const FastMember* a, const FastMember* b) {
        return keyLess(a->key, b->key);
    };
    // Documents often come with their keys in order already.
    if (!std::is_sorted(ordered.begin(), ordered.end(), less)) {
        std::stable_sort(ordered.begin(), ordered.end(), less);
    }
    result.reserve(static_cast<qsizetype>(ordered.size()));
    for (size_t i = 0; i < ordered.size(); ++i) {
        const FastMember& member = *ordered[i];
        if (i + 1 < ordered.size() && ordered[i + 1]->key == member.key) {
            continue;  // repeated later
        }
        if (member.value.is_object()) {
            result.append(nestedObject(member));
        } else {
            result.append(VTJSONObject(QJsonObject()));
        }
    }
    return result;
}
