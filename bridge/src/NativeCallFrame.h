#pragma once

#include <cstddef>
#include <cstdint>

namespace nativio {

// Everything the call routine in NativeCall.S needs: the registers to load before the call,
// the outgoing stack arguments, and the registers captured after it. The routine reads and
// writes the fields at the fixed offsets asserted below.
struct NativeCallFrame {
    static constexpr int kIntegerRegisters = 6;
    static constexpr int kVectorRegisters = 8;

    uint64_t integerRegisters[kIntegerRegisters];  // rdi, rsi, rdx, rcx, r8, r9
    uint64_t vectorRegisters[kVectorRegisters];    // xmm0..xmm7, low eightbyte each
    const uint8_t* stackArguments;
    uint64_t stackSize;
    uint64_t vectorCount;  // goes to AL for variadic callees
    const void* function;
    uint64_t rax;
    uint64_t rdx;
    uint64_t xmm0;
    uint64_t xmm1;
};

static_assert(offsetof(NativeCallFrame, vectorRegisters) == 48);
static_assert(offsetof(NativeCallFrame, stackArguments) == 112);
static_assert(offsetof(NativeCallFrame, stackSize) == 120);
static_assert(offsetof(NativeCallFrame, vectorCount) == 128);
static_assert(offsetof(NativeCallFrame, function) == 136);
static_assert(offsetof(NativeCallFrame, rax) == 144);
static_assert(offsetof(NativeCallFrame, rdx) == 152);
static_assert(offsetof(NativeCallFrame, xmm0) == 160);
static_assert(offsetof(NativeCallFrame, xmm1) == 168);

}  // namespace nativio

// Loads the frame's registers and stack arguments, calls its function and captures the results.
extern "C" void nativio_call(nativio::NativeCallFrame* frame);
