#include "src/CallFrameBuilder.h"

#include <cstring>

namespace nativio {

CallFrameBuilder::CallFrameBuilder(NativeCallFrame& frame, uint8_t* stackArea, size_t capacity)
    : frame_(frame), stack_(stackArea), capacity_(capacity) {}

bool CallFrameBuilder::addStackBytes(const uint8_t* bytes, size_t length) {
    uint8_t* slot = reserveStack(length);
    if (slot == nullptr) {
        return false;
    }
    std::memcpy(slot, bytes, length);
    return true;
}

uint8_t* CallFrameBuilder::reserveStack(size_t length) {
    const size_t slots = (length + 7) / 8 * 8;
    if (length > capacity_ || slots > capacity_ - stackUsed_) {
        overflowed_ = true;
        return nullptr;
    }
    uint8_t* slot = stack_ + stackUsed_;
    std::memset(slot, 0, slots);
    stackUsed_ += slots;
    return slot;
}

void CallFrameBuilder::finish() {
    frame_.stackArguments = stack_;
    frame_.stackSize = stackUsed_;
    frame_.vectorCount = vectors_;
}

}  // namespace nativio
