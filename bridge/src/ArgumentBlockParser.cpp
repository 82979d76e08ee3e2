#include "ArgumentBlockParser.h"

#include <cstring>

namespace nativio {

ArgumentBlockParser::ArgumentBlockParser(const uint8_t* block, size_t size, size_t returnSize)
    : block_(block), size_(size), offset_(returnSize), remaining_(0), malformed_(false) {
    malformed_ = returnSize > size || !read64(remaining_);
}

ArgumentBlockParser::Step ArgumentBlockParser::next(ArgumentEntry& entry) {
    if (malformed_) {
        return Step::kMalformed;
    }
    if (remaining_ == 0) {
        return Step::kEnd;
    }
    uint64_t code = 0;
    uint64_t length = 0;
    if (!read64(code) || code > static_cast<uint64_t>(EntryCode::kInt16)) {
        malformed_ = true;
        return Step::kMalformed;
    }
    entry.code = static_cast<EntryCode>(code);
    entry.length = 8;
    switch (entry.code) {
        case EntryCode::kMemory:
            malformed_ = !read64(length) || length > size_ - offset_;
            entry.length = length;
            break;
        case EntryCode::kStructure:
            malformed_ = !read64(length);
            entry.length = length;
            length = 0;
            break;
        default:
            length = 8;
            malformed_ = length > size_ - offset_;
            break;
    }
    if (malformed_) {
        return Step::kMalformed;
    }
    entry.data = block_ + offset_;
    offset_ += length;
    --remaining_;
    return Step::kEntry;
}

bool ArgumentBlockParser::read64(uint64_t& value) {
    if (size_ - offset_ < sizeof(value)) {
        return false;
    }
    std::memcpy(&value, block_ + offset_, sizeof(value));
    offset_ += sizeof(value);
    return true;
}

}  // namespace nativio
