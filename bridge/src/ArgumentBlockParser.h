#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "java/com_nativio_TypeCode.h"

namespace nativio {

// Type codes of the entries of an argument block, as com.nativio.TypeCode defines them.
enum class EntryCode : uint64_t {
    kPointer = com_nativio_TypeCode_POINTER,
    kInt32 = com_nativio_TypeCode_INT32,
    kInt64 = com_nativio_TypeCode_INT64,
    kFloat = com_nativio_TypeCode_FLOAT,
    kDouble = com_nativio_TypeCode_DOUBLE,
    kMemory = com_nativio_TypeCode_MEMORY,
    kStructure = com_nativio_TypeCode_STRUCTURE,
    kInt8 = com_nativio_TypeCode_INT8,
    kInt16 = com_nativio_TypeCode_INT16,
};

// One entry of the block. For scalars `data` points at the 8 value bytes; for a memory block at
// its `length` bytes; for a structure header `length` is the number of member entries.
struct ArgumentEntry {
    EntryCode code;
    const uint8_t* data;
    uint64_t length;
};

// Walks the entries of an argument block (return area, entry count, entries) and refuses any
// entry that does not end within the block. Copies are independent cursors. next() is inline:
// it runs once per argument of every native call.
class ArgumentBlockParser {
  public:
    enum class Step { kEntry, kEnd, kMalformed };

    ArgumentBlockParser(const uint8_t* block, size_t size, size_t returnSize);

    Step next(ArgumentEntry& entry) {
        // Every entry is a code and one 8-byte word (value, length or member count), plus the
        // bytes of a memory block.
        constexpr size_t kEntryHead = 16;
        if (malformed_ || remaining_ == 0) {
            return malformed_ ? Step::kMalformed : Step::kEnd;
        }
        uint64_t code = 0;
        uint64_t word = 0;
        if (size_ - offset_ < kEntryHead) {
            return refuse();
        }
        std::memcpy(&code, block_ + offset_, sizeof(code));
        std::memcpy(&word, block_ + offset_ + 8, sizeof(word));
        if (code > static_cast<uint64_t>(EntryCode::kInt16)) {
            return refuse();
        }
        entry.code = static_cast<EntryCode>(code);
        entry.data = block_ + offset_ + 8;
        entry.length = 8;
        offset_ += kEntryHead;
        if (entry.code == EntryCode::kMemory) {
            if (word > size_ - offset_) {
                return refuse();
            }
            entry.data = block_ + offset_;
            entry.length = word;
            offset_ += word;
        } else if (entry.code == EntryCode::kStructure) {
            entry.length = word;
        }
        --remaining_;
        return Step::kEntry;
    }

  private:
    Step refuse() {
        malformed_ = true;
        return Step::kMalformed;
    }

    const uint8_t* block_;
    size_t size_;
    size_t offset_;
    uint64_t remaining_ = 0;
    bool malformed_ = false;
};

}  // namespace nativio
