#pragma once

#include <cstddef>
#include <cstdint>

#include "src/NativeCallFrame.h"

namespace nativio {

// Hands arguments to registers and outgoing stack slots in the order of the x86-64 System V
// convention. Every add refuses (returns false) an argument that would overrun the stack area.
class CallFrameBuilder {
  public:
    CallFrameBuilder(NativeCallFrame& frame, uint8_t* stackArea, size_t capacity);

    bool freeIntegerRegisters(size_t count) const {
        return integers_ + count <= NativeCallFrame::kIntegerRegisters;
    }
    bool freeVectorRegisters(size_t count) const {
        return vectors_ + count <= NativeCallFrame::kVectorRegisters;
    }

    // Inline: they run once per argument of every native call.
    bool addInteger(uint64_t value) {
        if (freeIntegerRegisters(1)) {
            frame_.integerRegisters[integers_++] = value;
            return true;
        }
        return addStackBytes(reinterpret_cast<const uint8_t*>(&value), sizeof(value));
    }
    bool addVector(uint64_t bits) {
        if (freeVectorRegisters(1)) {
            frame_.vectorRegisters[vectors_++] = bits;
            return true;
        }
        return addStackBytes(reinterpret_cast<const uint8_t*>(&bits), sizeof(bits));
    }
    // Copies `length` bytes onto the stack; the next stack argument starts at the next
    // eightbyte, as a by-value aggregate always occupies whole stack slots.
    bool addStackBytes(const uint8_t* bytes, size_t length);
    // Reserves `length` zeroed stack bytes (rounded to whole slots) and gives their address.
    uint8_t* reserveStack(size_t length);

    // Completes the frame's stack and vector-count fields.
    void finish();

    // True once an argument was refused for lack of stack space.
    bool overflowed() const { return overflowed_; }

  private:
    NativeCallFrame& frame_;
    uint8_t* stack_;
    size_t capacity_;
    size_t stackUsed_ = 0;
    size_t integers_ = 0;
    size_t vectors_ = 0;
    bool overflowed_ = false;
};

}  // namespace nativio
