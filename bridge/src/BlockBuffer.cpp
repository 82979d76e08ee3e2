#include "src/BlockBuffer.h"

#include <cstdlib>

namespace nativio {

BlockBuffer::BlockBuffer(size_t size)
    : data_(size <= kInlineSize ? inline_ : static_cast<uint8_t*>(std::malloc(size))) {}

BlockBuffer::~BlockBuffer() {
    if (data_ != inline_) {
        std::free(data_);
    }
}

}  // namespace nativio
