// The argument block parser and marshaller, without calling anything. The input is a call's
// return size and flags and the block the Java side built, held in native memory of exactly
// its size. The block is laid out into registers and stack slots twice, in the small stack
// area a call tries first and in the full one it falls back to: whatever the small area takes
// the full one must lay out identically, what is malformed must be malformed in both, and a
// result must be stored only within the return size.
#include <cstring>
#include <memory>
#include <vector>

#include "src/ArgumentBlockParser.h"
#include "src/ArgumentMarshaller.h"
#include "src/CallFrameBuilder.h"
#include "src/NativeCallFrame.h"
#include "src/NativeInvoker.h"
#include "src/ReturnClassifier.h"
#include "support/FuzzCheck.h"
#include "support/FuzzInput.h"

namespace {

using nativio::ArgumentBlockParser;
using nativio::NativeCallFrame;

struct Layout {
    bool marshalled = false;
    bool overflowed = false;
    NativeCallFrame frame{};
    std::vector<uint8_t> stack;
};

Layout layOut(const uint8_t* block, size_t size, size_t returnSize, uint32_t flags,
              size_t capacity) {
    Layout layout;
    // Exactly the capacity, so that a slot written past it is an overrun the sanitizer reports.
    const auto stackArea = std::make_unique<uint8_t[]>(capacity);
    nativio::CallFrameBuilder builder(layout.frame, stackArea.get(), capacity);
    if (nativio::ReturnClassifier(returnSize, flags).kind() == nativio::ReturnKind::kMemory) {
        builder.addInteger(reinterpret_cast<uintptr_t>(block));
    }
    ArgumentBlockParser parser(block, size, returnSize);
    layout.marshalled = nativio::ArgumentMarshaller(parser, builder).marshal();
    layout.overflowed = builder.overflowed();
    if (layout.marshalled) {
        VT_FUZZ_CHECK(layout.frame.stackArguments == stackArea.get());
        VT_FUZZ_CHECK(layout.frame.stackSize <= capacity && layout.frame.stackSize % 8 == 0);
        VT_FUZZ_CHECK(layout.frame.vectorCount <= NativeCallFrame::kVectorRegisters);
        layout.stack.assign(stackArea.get(), stackArea.get() + layout.frame.stackSize);
        layout.frame.stackArguments = nullptr;
    }
    return layout;
}

bool sameRegisters(const NativeCallFrame& left, const NativeCallFrame& right) {
    return std::memcmp(left.integerRegisters, right.integerRegisters,
                       sizeof left.integerRegisters) == 0 &&
           std::memcmp(left.vectorRegisters, right.vectorRegisters, sizeof left.vectorRegisters) ==
               0 &&
           left.stackSize == right.stackSize && left.vectorCount == right.vectorCount;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const size_t returnSize = input.takeByte() % 40;
    const auto flags = input.takeInteger<uint8_t>();
    const std::string_view bytes = input.takeRest();
    auto block = std::make_unique<uint8_t[]>(bytes.size());
    std::memcpy(block.get(), bytes.data(), bytes.size());

    const Layout small = layOut(block.get(), bytes.size(), returnSize, flags,
                                nativio::NativeInvoker::kSmallStackArea);
    const Layout full = layOut(block.get(), bytes.size(), returnSize, flags,
                               nativio::NativeInvoker::kStackAreaSize);
    if (small.marshalled) {
        VT_FUZZ_CHECK(full.marshalled);
        VT_FUZZ_CHECK(sameRegisters(small.frame, full.frame));
        VT_FUZZ_CHECK(small.stack == full.stack);
    } else if (!small.overflowed) {
        VT_FUZZ_CHECK(!full.marshalled);
    }
    if (full.marshalled) {
        VT_FUZZ_CHECK(returnSize <= bytes.size());
        NativeCallFrame results{};
        results.rax = 0x1122334455667788;
        results.rdx = 0x99AABBCCDDEEFF00;
        results.xmm0 = 0x0102030405060708;
        results.xmm1 = 0x1020304050607080;
        nativio::ReturnClassifier(returnSize, flags).store(results, block.get());
    }
    return 0;
}
