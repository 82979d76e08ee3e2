#pragma once

#include <cstddef>
#include <cstdint>

namespace nativio {

// Type codes of the entries of an argument block.
enum class EntryCode : uint64_t {
    kPointer = 0,
    kInt32 = 1,
    kInt64 = 2,
    kFloat = 3,
    kDouble = 4,
    kMemory = 5,
    kStructure = 6,
    kInt8 = 7,
    kInt16 = 8,
};

// One entry of the block. For scalars `data` points at the 8 value bytes; for a memory block at
// its `length` bytes; for a structure header `length` is the number of member entries.
struct ArgumentEntry {
    EntryCode code;
    const uint8_t* data;
    uint64_t length;
};

// Walks the entries of an argument block (return area, entry count, entries) and refuses any
// entry that does not end within the block. Copies are independent cursors.
class ArgumentBlockParser {
  public:
    enum class Step { kEntry, kEnd, kMalformed };

    ArgumentBlockParser(const uint8_t* block, size_t size, size_t returnSize);

    Step next(ArgumentEntry& entry);

  private:
    bool read64(uint64_t& value);

    const uint8_t* block_;
    size_t size_;
    size_t offset_;
    uint64_t remaining_;
    bool malformed_;
};

}  // namespace nativio
