#include "VTJSONDocument.h"

#include <simdjson.h>

struct VTJSONDocument::Storage {
    simdjson::dom::document document;
};

VTJSONDocument::VTJSONDocument() : storage_(std::make_unique<Storage>()) {}

VTJSONDocument::~VTJSONDocument() = default;

std::unique_ptr<VTJSONDocument> VTJSONDocument::parseObject(const QByteArray& utf8) {
    std::unique_ptr<VTJSONDocument> result(new VTJSONDocument());
    // The parser's working buffers are needed only while it reads; the document keeps the rest.
    simdjson::dom::parser parser;
    const simdjson::padded_string text(utf8.constData(), static_cast<size_t>(utf8.size()));
    simdjson::dom::object root;
    if (parser.parse_into_document(result->storage_->document, text).get(root) !=
        simdjson::SUCCESS) {
        return nullptr;
    }
    result->root_ = VTJSONObject::fromFast(&root);
    return result;
}
