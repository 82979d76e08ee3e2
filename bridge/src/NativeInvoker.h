#pragma once

#include <cstddef>
#include <cstdint>

namespace nativio {

// Performs one call described by an argument block held in native memory: parses the block
// into registers and stack slots, calls the function under a fault guard and stores the result
// at the start of the block.
class NativeInvoker {
  public:
    // Fixed size of the outgoing stack area; blocks needing more are refused.
    static constexpr size_t kStackAreaSize = 32000;
    // Most calls pass few stack arguments; they are laid out in a small area first, which keeps
    // the call's working set within a few cache lines.
    static constexpr size_t kSmallStackArea = 256;

    enum class Status { kDone, kMalformed, kNullAddress, kFault };

    NativeInvoker(const void* function, uint8_t* block, size_t size, size_t returnSize,
                  uint32_t flags);

    Status invoke();
    int faultCode() const { return faultCode_; }

  private:
    static void perform(void* self);
    // False when the stack arguments need more than Capacity bytes and nothing was called.
    template <size_t Capacity>
    bool performIn();

    const void* function_;
    uint8_t* block_;
    size_t size_;
    size_t returnSize_;
    uint32_t flags_;
    Status status_ = Status::kFault;
    int faultCode_ = 0;
};

}  // namespace nativio
