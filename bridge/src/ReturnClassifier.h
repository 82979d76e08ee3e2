#pragma once

#include <cstddef>
#include <cstdint>

#include "java/com_nativio_ReturnType.h"
#include "src/NativeCallFrame.h"

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

// Flag bits of a call, as com.nativio.ReturnType sets them.
enum ReturnFlag : uint32_t {
    kFloatingPoint = com_nativio_ReturnType_FLAG_FLOATING_POINT,
    kInMemory = com_nativio_ReturnType_FLAG_IN_MEMORY,
    kSmallInteger = com_nativio_ReturnType_FLAG_SMALL_INTEGER,
    kRegisterPair = com_nativio_ReturnType_FLAG_REGISTERS,
    kPairVectorInteger = com_nativio_ReturnType_FLAG_VECTOR_INTEGER,
    kPairIntegerVector = com_nativio_ReturnType_FLAG_INTEGER_VECTOR,
    kPairVectorVector = com_nativio_ReturnType_FLAG_VECTOR_VECTOR,
    kPairIntegerInteger = com_nativio_ReturnType_FLAG_INTEGER_INTEGER,
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
