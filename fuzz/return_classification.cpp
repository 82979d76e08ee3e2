// The classification of a call's result and its storing, without a call. The input is the
// return size and the flags of a call; the result captured in made-up registers is stored into
// a return area of exactly that size. The store must stay within the area, leave it alone for
// a result the callee writes in memory, and otherwise begin with the low bytes of the register
// the kind names first.
#include <cstring>
#include <memory>

#include "src/NativeCallFrame.h"
#include "src/ReturnClassifier.h"
#include "support/FuzzCheck.h"
#include "support/FuzzInput.h"

namespace {

using nativio::ReturnKind;

uint64_t firstRegister(ReturnKind kind, const nativio::NativeCallFrame& frame) {
    switch (kind) {
        case ReturnKind::kFloat:
        case ReturnKind::kDouble:
        case ReturnKind::kVectorInteger:
        case ReturnKind::kVectorVector:
            return frame.xmm0;
        default:
            return frame.rax;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const size_t returnSize = input.takeInteger<uint16_t>() % 4096;
    const auto flags = input.takeInteger<uint32_t>();
    nativio::NativeCallFrame frame{};
    frame.rax = input.takeInteger<uint64_t>();
    frame.rdx = input.takeInteger<uint64_t>();
    frame.xmm0 = input.takeInteger<uint64_t>();
    frame.xmm1 = input.takeInteger<uint64_t>();

    const nativio::ReturnClassifier classifier(returnSize, flags);
    const ReturnKind kind = classifier.kind();
    VT_FUZZ_CHECK(kind == ReturnKind::kMemory || returnSize <= 16 ||
                  (flags & nativio::kRegisterPair) || (flags & nativio::kFloatingPoint));
    constexpr uint8_t kUntouched = 0xA5;
    const auto area = std::make_unique<uint8_t[]>(returnSize);
    std::memset(area.get(), kUntouched, returnSize);
    classifier.store(frame, area.get());
    if (kind == ReturnKind::kMemory) {
        for (size_t i = 0; i < returnSize; ++i) {
            VT_FUZZ_CHECK(area[i] == kUntouched);
        }
        return 0;
    }
    const uint64_t first = firstRegister(kind, frame);
    const size_t compared = std::min<size_t>(returnSize, 1);
    VT_FUZZ_CHECK(std::memcmp(area.get(), &first, compared) == 0);
    return 0;
}
