// The meta record of a callback and the copy of a caller's arguments into the parameter slots
// that it drives. The input is the length of the slots the Java side asks for, then the record.
// The record lies in memory of exactly its size, the slots and the caller's stack arguments in
// memory of exactly the slots' size: a sound record never needs more stack than it has slots,
// so any read or write past them is an overrun the sanitizer reports. The parser must also
// reach the same verdict when given no more than the record's bound for that slot length,
// which is all the dispatcher lets it read.
#include <algorithm>
#include <cstring>
#include <memory>

#include "src/CallbackArguments.h"
#include "src/CallbackFrame.h"
#include "src/CallbackMetaParser.h"
#include "support/FuzzCheck.h"
#include "support/FuzzInput.h"

namespace {

using nativio::CallbackMetaParser;

struct Verdict {
    bool sound = false;
    uint64_t kind = 0;
    size_t returnSize = 0;
};

Verdict copyArguments(const uint8_t* record, size_t recordBytes, size_t slotBytes) {
    Verdict verdict;
    const auto stack = std::make_unique<uint8_t[]>(slotBytes);
    const auto slots = std::make_unique<uint8_t[]>(slotBytes);
    std::memset(stack.get(), 0x5a, slotBytes);
    nativio::CallbackFrame frame{};
    for (int i = 0; i < nativio::CallbackFrame::kIntegerRegisters; ++i) {
        frame.integerRegisters[i] = 0x1000 + i;
    }
    frame.stackArguments = stack.get();
    CallbackMetaParser parser(record, recordBytes, slotBytes);
    if (!parser.headerIsSound()) {
        return verdict;
    }
    verdict.kind = parser.returnKind();
    verdict.returnSize = parser.returnSize();
    nativio::CallbackArguments arguments(frame, verdict.kind == 5);
    verdict.sound = arguments.copy(parser, slots.get());
    if (verdict.sound) {
        VT_FUZZ_CHECK(verdict.returnSize <= CallbackMetaParser::kLargestMemoryResult);
        VT_FUZZ_CHECK(verdict.kind != 5 || arguments.resultArea() == 0x1000);
    }
    return verdict;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const size_t slotBytes = input.takeInteger<uint16_t>() % 2048;
    const std::string_view bytes = input.takeRest();
    auto record = std::make_unique<uint8_t[]>(bytes.size());
    std::memcpy(record.get(), bytes.data(), bytes.size());

    const Verdict whole = copyArguments(record.get(), bytes.size(), slotBytes);
    const size_t bound = std::min(bytes.size(), CallbackMetaParser::recordLimit(slotBytes));
    const Verdict bounded = copyArguments(record.get(), bound, slotBytes);
    VT_FUZZ_CHECK(whole.sound == bounded.sound);
    VT_FUZZ_CHECK(whole.kind == bounded.kind && whole.returnSize == bounded.returnSize);
    return 0;
}
