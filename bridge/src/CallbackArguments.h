#pragma once

#include <cstddef>
#include <cstdint>

#include "src/CallbackFrame.h"
#include "src/CallbackMetaParser.h"

namespace nativio {

// Copies what a C caller passed to a thunk into the parameter slots of the callback buffer, in
// the order of the x86-64 System V convention: integers from the six integer registers, then
// from the caller's stack; floats and doubles from the eight vector registers, then from the
// stack; memory blocks from the stack; structures from registers when all their eightbytes find
// one, else from the stack, one member per slot.
class CallbackArguments {
  public:
    CallbackArguments(const CallbackFrame& frame, bool resultInMemory);

    // Copies every parameter the parser yields; false for a malformed record.
    bool copy(CallbackMetaParser& parser, uint8_t* slots);

    // The caller's return area of a result in memory.
    uint64_t resultArea() const { return frame_.integerRegisters[0]; }

  private:
    uint64_t takeInteger();
    uint64_t takeVector();
    uint64_t takeStack();
    void copyStructure(const CallbackParameter& parameter, uint8_t*& slot);

    const CallbackFrame& frame_;
    size_t integers_;
    size_t vectors_ = 0;
    const uint8_t* stack_;
};

}  // namespace nativio
