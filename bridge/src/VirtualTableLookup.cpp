#include "src/VirtualTableLookup.h"

#include "src/SEHGuard.h"

namespace nativio {

VirtualTableLookup::VirtualTableLookup(uintptr_t tableAddress, int index)
    : tableAddress_(tableAddress), index_(index) {}

const void* VirtualTableLookup::entry() {
    if (SEHGuard::run(&VirtualTableLookup::read, this) != 0) {
        entry_ = nullptr;
    }
    return entry_;
}

void VirtualTableLookup::read(void* self) {
    auto& lookup = *static_cast<VirtualTableLookup*>(self);
    const auto* table = reinterpret_cast<const void* const volatile*>(lookup.tableAddress_);
    lookup.entry_ = table[lookup.index_];
}

}  // namespace nativio
