#include "src/ArgumentBlockParser.h"

namespace nativio {

ArgumentBlockParser::ArgumentBlockParser(const uint8_t* block, size_t size, size_t returnSize)
    : block_(block), size_(size), offset_(returnSize) {
    if (returnSize > size || size - returnSize < sizeof(remaining_)) {
        malformed_ = true;
        return;
    }
    std::memcpy(&remaining_, block + returnSize, sizeof(remaining_));
    offset_ += sizeof(remaining_);
}

}  // namespace nativio
