#pragma once

#include <cstddef>
#include <cstdint>

#include "src/ArgumentBlockParser.h"

namespace nativio {

// Lays structure members out the way a C compiler does (each member at its natural alignment)
// and classifies the first two eightbytes: an eightbyte holding only float and double members
// travels in a vector register, any other in an integer register.
class StructureLayout {
  public:
    static constexpr size_t kRegisterLimit = 16;

    // Places the next member and returns its offset, or -1 when the code cannot be a member.
    long place(EntryCode code);

    size_t size() const;
    size_t eightbyteCount() const { return (size() + 7) / 8; }
    bool isVectorEightbyte(size_t index) const;
    bool fitsInRegisters() const { return size() <= kRegisterLimit; }

    static size_t memberSize(EntryCode code);

  private:
    size_t end_ = 0;
    size_t alignment_ = 1;
    bool hasInteger_[2] = {false, false};
    bool hasVector_[2] = {false, false};
};

}  // namespace nativio
