#include "src/CallbackArguments.h"

#include <cstring>

#include "src/StructureLayout.h"

namespace nativio {

CallbackArguments::CallbackArguments(const CallbackFrame& frame, bool resultInMemory)
    : frame_(frame), integers_(resultInMemory ? 1 : 0), stack_(frame.stackArguments) {}

uint64_t CallbackArguments::takeStack() {
    uint64_t value = 0;
    std::memcpy(&value, stack_, sizeof(value));
    stack_ += sizeof(value);
    return value;
}

uint64_t CallbackArguments::takeInteger() {
    return integers_ < CallbackFrame::kIntegerRegisters ? frame_.integerRegisters[integers_++]
                                                        : takeStack();
}

uint64_t CallbackArguments::takeVector() {
    return vectors_ < CallbackFrame::kVectorRegisters ? frame_.vectorRegisters[vectors_++]
                                                      : takeStack();
}

bool CallbackArguments::copy(CallbackMetaParser& parser, uint8_t* slots) {
    uint8_t* slot = slots;
    CallbackParameter parameter{};
    for (;;) {
        switch (parser.next(parameter)) {
            case CallbackMetaParser::Step::kEnd:
                return true;
            case CallbackMetaParser::Step::kMalformed:
                return false;
            case CallbackMetaParser::Step::kParameter:
                break;
        }
        uint64_t value = 0;
        switch (parameter.code) {
            case EntryCode::kFloat:
                value = takeVector() & 0xffffffffu;
                break;
            case EntryCode::kDouble:
                value = takeVector();
                break;
            case EntryCode::kMemory: {
                const size_t padded = (parameter.length + 7) / 8 * 8;
                std::memset(slot, 0, padded);
                std::memcpy(slot, stack_, parameter.length);
                stack_ += padded;
                slot += padded;
                continue;
            }
            case EntryCode::kStructure:
                copyStructure(parameter, slot);
                continue;
            default:
                value = takeInteger();
                break;
        }
        std::memcpy(slot, &value, sizeof(value));
        slot += sizeof(value);
    }
}

// The mirror of how a call hands a structure over: its layout decides whether its eightbytes
// travel in registers (all of them, or none) or the structure lies on the stack.
void CallbackArguments::copyStructure(const CallbackParameter& parameter, uint8_t*& slot) {
    StructureLayout layout;
    for (uint64_t i = 0; i < parameter.length; ++i) {
        uint64_t code = 0;
        std::memcpy(&code, parameter.members + 8 * i, sizeof(code));
        layout.place(static_cast<EntryCode>(code));
    }
    size_t vectorEightbytes = 0;
    for (size_t i = 0; i < layout.eightbyteCount() && i < 2; ++i) {
        vectorEightbytes += layout.isVectorEightbyte(i) ? 1 : 0;
    }
    const bool inRegisters = layout.fitsInRegisters() &&
                             vectors_ + vectorEightbytes <= CallbackFrame::kVectorRegisters &&
                             integers_ + (layout.eightbyteCount() - vectorEightbytes) <=
                                 CallbackFrame::kIntegerRegisters;
    alignas(8) uint8_t registerImage[StructureLayout::kRegisterLimit] = {};
    const uint8_t* image = registerImage;
    if (inRegisters) {
        for (size_t i = 0; i < layout.eightbyteCount(); ++i) {
            const uint64_t eightbyte = layout.isVectorEightbyte(i) ? takeVector() : takeInteger();
            std::memcpy(registerImage + 8 * i, &eightbyte, sizeof(eightbyte));
        }
    } else {
        image = stack_;
        stack_ += (layout.size() + 7) / 8 * 8;
    }
    StructureLayout placement;
    for (uint64_t i = 0; i < parameter.length; ++i) {
        uint64_t code = 0;
        std::memcpy(&code, parameter.members + 8 * i, sizeof(code));
        const auto member = static_cast<EntryCode>(code);
        const long offset = placement.place(member);
        std::memset(slot, 0, 8);
        std::memcpy(slot, image + offset, StructureLayout::memberSize(member));
        slot += 8;
    }
}

}  // namespace nativio
