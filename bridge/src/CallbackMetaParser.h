#pragma once

#include <cstddef>
#include <cstdint>

#include "src/ArgumentBlockParser.h"

namespace nativio {

// One parameter of a callback: its code, and for a memory block its length in bytes or for a
// structure its member count and the member codes (8-byte words).
struct CallbackParameter {
    EntryCode code;
    uint64_t length;
    const uint8_t* members;
};

// Reads the meta record of a callback (8-byte little-endian words: parameter count, return
// kind, return size, then one code per parameter, a structure's code followed by its member
// count and member codes, a memory block's by its length) and checks it against the length of
// the parameter slots the Java side asked for. Every parameter takes at least one slot, so a
// record never needs more than recordLimit(slotBytes) bytes; the parser reads no further than
// the bytes it is given.
class CallbackMetaParser {
  public:
    enum class Step { kParameter, kEnd, kMalformed };

    // Return kinds a callback may have; 0 is "no return value", the others are those of a call.
    static constexpr uint64_t kNoResult = 0;
    static constexpr size_t kLargestMemoryResult = 1 << 20;

    CallbackMetaParser(const uint8_t* record, size_t recordBytes, size_t slotBytes);

    static size_t recordLimit(size_t slotBytes) { return 8 * (3 + 3 * (slotBytes / 8)); }

    // False when the header is unsound; next() then refuses at once.
    bool headerIsSound() const { return !malformed_; }
    uint64_t returnKind() const { return returnKind_; }
    size_t returnSize() const { return returnSize_; }

    Step next(CallbackParameter& parameter);

  private:
    bool word(uint64_t& value);
    bool claimSlots(uint64_t slots);
    static bool returnIsSound(uint64_t kind, uint64_t size);
    Step refuse();

    const uint8_t* record_;
    size_t recordBytes_;
    size_t offset_ = 0;
    size_t slotBytes_;
    size_t slotsUsed_ = 0;
    uint64_t remaining_ = 0;
    uint64_t returnKind_ = kNoResult;
    size_t returnSize_ = 0;
    bool malformed_ = false;
};

}  // namespace nativio
