#pragma once

#include <cstdint>

namespace nativio {

// Reads a function address out of a table of function pointers (a C++ virtual table or any
// C dispatch table) under the fault guard, so a bad table address cannot crash the caller.
class VirtualTableLookup {
  public:
    VirtualTableLookup(uintptr_t tableAddress, int index);

    // The entry, or null when it is empty or the table cannot be read.
    const void* entry();

  private:
    static void read(void* self);

    uintptr_t tableAddress_;
    int index_;
    const void* entry_ = nullptr;
};

}  // namespace nativio
