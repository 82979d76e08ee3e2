#include "VTJSONObject.h"

#include <simdjson.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QString>
#include <algorithm>
#include <cstring>
#include <limits>
#include <string_view>
#include <type_traits>
#include <vector>

namespace {

using SimdObject = simdjson::dom::object;

static_assert(std::is_trivially_copyable_v<SimdObject>);
static_assert(sizeof(SimdObject) <= 16 && alignof(SimdObject) <= 8);

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// QJsonObject keeps its keys in UTF-16 order; ASCII keys (all real ones) compare bytewise.
bool keyLess(std::string_view a, std::string_view b) {
    if (isAscii(a) && isAscii(b)) {
        return a < b;
    }
    return QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size())) <
           QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size()));
}

bool keyEquals(std::string_view key, QLatin1StringView wanted) {
    return key.size() == static_cast<size_t>(wanted.size()) &&
           std::memcmp(key.data(), wanted.data(), key.size()) == 0;
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

// The members of the object once per key (the last value of a repeated key), in key order.
std::vector<simdjson::dom::key_value_pair> orderedMembers(const SimdObject& object) {
    std::vector<simdjson::dom::key_value_pair> members;
    for (const simdjson::dom::key_value_pair member : object) {
        members.push_back(member);
    }
    std::stable_sort(members.begin(), members.end(),
                     [](const auto& a, const auto& b) { return keyLess(a.key, b.key); });
    std::vector<simdjson::dom::key_value_pair> unique;
    unique.reserve(members.size());
    for (size_t i = 0; i < members.size(); ++i) {
        if (i + 1 < members.size() && members[i + 1].key == members[i].key) {
            continue;
        }
        unique.push_back(members[i]);
    }
    return unique;
}

}  // namespace

VTJSONObject::VTJSONObject(const QJsonObject& object) : qt_(object) {}

VTJSONObject VTJSONObject::fromFast(const void* object) {
    VTJSONObject result;
    result.fast_.emplace();
    std::memcpy(result.fast_->bytes, object, sizeof(SimdObject));
    return result;
}

namespace {

SimdObject fastObject(const unsigned char* bytes) {
    SimdObject object;
    std::memcpy(static_cast<void*>(&object), bytes, sizeof object);
    return object;
}

// The last value under key, if any.
std::optional<simdjson::dom::element> lastValue(const SimdObject& object, QLatin1StringView key) {
    std::optional<simdjson::dom::element> found;
    for (const simdjson::dom::key_value_pair member : object) {
        if (keyEquals(member.key, key)) {
            found = member.value;
        }
    }
    return found;
}

}  // namespace

bool VTJSONObject::contains(QLatin1StringView key) const {
    if (!fast_) {
        return qt_.contains(key);
    }
    return lastValue(fastObject(fast_->bytes), key).has_value();
}

QJsonValue VTJSONObject::value(QLatin1StringView key) const {
    if (!fast_) {
        return qt_.value(key);
    }
    const std::optional<simdjson::dom::element> found = lastValue(fastObject(fast_->bytes), key);
    return found ? qtValue(*found) : QJsonValue(QJsonValue::Undefined);
}

std::optional<VTJSONObject> VTJSONObject::object(QLatin1StringView key) const {
    if (!fast_) {
        const auto found = qt_.constFind(key);
        if (found == qt_.constEnd() || !found->isObject()) {
            return std::nullopt;
        }
        return VTJSONObject(found->toObject());
    }
    const std::optional<simdjson::dom::element> found = lastValue(fastObject(fast_->bytes), key);
    if (!found || !found->is_object()) {
        return std::nullopt;
    }
    const SimdObject nested = found->get_object().value_unsafe();
    return fromFast(&nested);
}

QList<VTJSONObject> VTJSONObject::objects() const {
    QList<VTJSONObject> result;
    if (!fast_) {
        for (const QJsonValue& value : qt_) {
            if (value.isObject()) {
                result.append(VTJSONObject(value.toObject()));
            }
        }
        return result;
    }
    for (const simdjson::dom::key_value_pair& member : orderedMembers(fastObject(fast_->bytes))) {
        if (member.value.is_object()) {
            const SimdObject nested = member.value.get_object().value_unsafe();
            result.append(fromFast(&nested));
        }
    }
    return result;
}
