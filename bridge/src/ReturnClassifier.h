#pragma once

#include <cstddef>
#include <cstdint>

#include "NativeCallFrame.h"

namespace nativio {

// Where a call's result comes from, decided by the return size and the flags of the call.
enum class ReturnKind {
    kInteger = 1,         // 4 bytes of RAX, or 1 or 2 with the small-integer flag
    kEightbyte = 2,       // RAX
    kFloat = 3,           // XMM0, 4 bytes
    kDouble = 4,          // XMM0, 8 bytes
    kMemory = 5,          // the callee writes through the hidden first argument
    kVectorInteger = 9,   // XMM0, RAX
    kIntegerVector = 10,  // RAX, XMM0
    kVectorVector = 11,   // XMM0, XMM1
    kIntegerInteger = 12  // RAX, RDX
};

// Flag bits of a call as the Java side sets them.
enum ReturnFlag : uint32_t {
    kFloatingPoint = 1u << 0,
    kInMemory = 1u << 1,
    kSmallInteger = 1u << 2,
    kRegisterPair = 1u << 3,
    kPairVectorInteger = 1u << 4,
    kPairIntegerVector = 1u << 5,
    kPairVectorVector = 1u << 6,
    kPairIntegerInteger = 1u << 7,
};

class ReturnClassifier {
  public:
    ReturnClassifier(size_t returnSize, uint32_t flags);

    ReturnKind kind() const { return kind_; }

    // Writes the captured result into the first returnSize bytes of the return area (never
    // more, whatever the registers hold). A result in memory is already in place.
    void store(const NativeCallFrame& frame, uint8_t* returnArea) const;

  private:
    static ReturnKind classify(size_t returnSize, uint32_t flags);

    size_t returnSize_;
    uint32_t flags_;
    ReturnKind kind_;
};

}  // namespace nativio
