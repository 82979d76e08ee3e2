#include "model/VTJSONDocument.h"

#include <simdjson.h>

#include "model/VTJSONFastMember.h"

struct VTJSONDocument::Storage {
    simdjson::dom::document document;
    VTJSONObject::FastMembers members;
};

namespace {

// Statistics arrive every few seconds at much the same size. Keeping the reader's buffers
// and the last document's between them saves allocating (and faulting in) megabytes each
// time; the model reads one message at a time, so one spare per thread is enough.
simdjson::dom::parser& threadParser() {
    thread_local simdjson::dom::parser parser;
    return parser;
}

}  // namespace

struct VTJSONDocument::SpareStorage {
    std::unique_ptr<Storage> storage;
};

VTJSONDocument::SpareStorage& VTJSONDocument::spare() {
    thread_local SpareStorage spare;
    return spare;
}

VTJSONDocument::VTJSONDocument() {
    storage_ = std::move(spare().storage);
    if (!storage_) {
        storage_ = std::make_unique<Storage>();
    }
}

VTJSONDocument::~VTJSONDocument() {
    SpareStorage& slot = spare();
    if (!slot.storage) {
        slot.storage = std::move(storage_);
    }
}

std::unique_ptr<VTJSONDocument> VTJSONDocument::parseObject(const QByteArray& utf8) {
    std::unique_ptr<VTJSONDocument> result(new VTJSONDocument());
    static_assert(VTJSONDocument::kPadding >= simdjson::SIMDJSON_PADDING);
    const auto* bytes = reinterpret_cast<const uint8_t*>(utf8.constData());
    const auto length = static_cast<size_t>(utf8.size());
    const bool roomBehind = utf8.capacity() - utf8.size() >= kPadding;
    simdjson::dom::object root;
    if (threadParser()
            .parse_into_document(result->storage_->document, bytes, length, !roomBehind)
            .get(root) != simdjson::SUCCESS) {
        return nullptr;
    }
    result->root_ = VTJSONObject::collectMembers(&root, result->storage_->members);
    return result;
}
