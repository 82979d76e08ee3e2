#pragma once

#include <cstddef>
#include <cstdint>

namespace nativio {

// Measures a NUL-terminated narrow or wide native string under the fault guard.
class NativeStringLength {
  public:
    enum class Width { kNarrow, kWide };

    NativeStringLength(uintptr_t address, Width width);

    // False when reading the string faulted; faultCode() then gives the signal.
    bool measure();
    size_t length() const { return length_; }
    int faultCode() const { return faultCode_; }

  private:
    static void count(void* self);

    uintptr_t address_;
    Width width_;
    size_t length_ = 0;
    int faultCode_ = 0;
};

}  // namespace nativio
