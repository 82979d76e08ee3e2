#pragma once

#include <cstddef>
#include <cstdint>

namespace nativio {

// Native copy of an argument block. Small blocks, the usual case, stay on the stack; larger
// ones are allocated.
class BlockBuffer {
  public:
    explicit BlockBuffer(size_t size);
    ~BlockBuffer();
    BlockBuffer(const BlockBuffer&) = delete;
    BlockBuffer& operator=(const BlockBuffer&) = delete;

    // Null when the allocation failed.
    uint8_t* data() const { return data_; }

  private:
    static constexpr size_t kInlineSize = 512;

    alignas(16) uint8_t inline_[kInlineSize];
    uint8_t* data_;
};

}  // namespace nativio
