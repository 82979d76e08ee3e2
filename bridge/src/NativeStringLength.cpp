#include "src/NativeStringLength.h"

#include <cstring>
#include <cwchar>

#include "src/SEHGuard.h"

namespace nativio {

NativeStringLength::NativeStringLength(uintptr_t address, Width width)
    : address_(address), width_(width) {}

bool NativeStringLength::measure() {
    faultCode_ = SEHGuard::run(&NativeStringLength::count, this);
    return faultCode_ == 0;
}

void NativeStringLength::count(void* self) {
    auto& string = *static_cast<NativeStringLength*>(self);
    string.length_ = string.width_ == Width::kNarrow
                         ? std::strlen(reinterpret_cast<const char*>(string.address_))
                         : std::wcslen(reinterpret_cast<const wchar_t*>(string.address_));
}

}  // namespace nativio
