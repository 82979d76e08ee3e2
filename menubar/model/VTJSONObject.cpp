#include "model/VTJSONObject.h"

#include <simdjson.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QString>
#include <algorithm>
#include <cstring>
#include <string_view>

struct VTJSONObject::FastMember {
    std::string_view key;
    simdjson::dom::element value;
};

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

VTJSONObject VTJSONObject::fromFast(const void* object) {
    const auto& simdObject = *static_cast<const simdjson::dom::object*>(object);
    auto members = std::make_shared<FastMembers>();
    members->reserve(simdObject.size());
    for (const simdjson::dom::key_value_pair member : simdObject) {
        members->push_back({member.key, member.value});
    }
    VTJSONObject result;
    result.fast_ = std::move(members);
    return result;
}

const VTJSONObject::FastMember* VTJSONObject::fastMember(QLatin1StringView key) const {
    // From the end, as the last value of a repeated key counts. Objects hold a few dozen
    // members at most, so a walk beats any index.
    const std::string_view wanted(key.data(), static_cast<size_t>(key.size()));
    for (auto member = fast_->rbegin(); member != fast_->rend(); ++member) {
        if (member->key == wanted) {
            return &*member;
        }
    }
    return nullptr;
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
    const simdjson::dom::object nested = member->value.get_object().value_unsafe();
    return fromFast(&nested);
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
    // As QJsonDocument does: by key, and of a repeated key only the last value.
    std::vector<const FastMember*> ordered;
    ordered.reserve(fast_->size());
    for (const FastMember& member : *fast_) {
        ordered.push_back(&member);
    }
    std::stable_sort(ordered.begin(), ordered.end(), [](const FastMember* a, const FastMember* b) {
        return keyLess(a->key, b->key);
    });
    result.reserve(static_cast<qsizetype>(ordered.size()));
    for (size_t i = 0; i < ordered.size(); ++i) {
        const FastMember& member = *ordered[i];
        if (i + 1 < ordered.size() && ordered[i + 1]->key == member.key) {
            continue;  // repeated later
        }
        if (member.value.is_object()) {
            const simdjson::dom::object nested = member.value.get_object().value_unsafe();
            result.append(fromFast(&nested));
        } else if (keepOthersAsEmpty) {
            result.append(VTJSONObject(QJsonObject()));
        }
    }
    return result;
}
