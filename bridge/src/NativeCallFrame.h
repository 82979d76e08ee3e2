// The register image that the call routine in NativeCall.S loads before the call and fills
// after it. The assembler includes this header too: it sees only the offsets below, which the
// C++ part checks against the layout of the struct.
#pragma once

#define NATIVIO_FRAME_INTEGER_REGISTERS 0
#define NATIVIO_FRAME_VECTOR_REGISTERS 48
#define NATIVIO_FRAME_STACK_ARGUMENTS 112
#define NATIVIO_FRAME_STACK_SIZE 120
#define NATIVIO_FRAME_VECTOR_COUNT 128
#define NATIVIO_FRAME_FUNCTION 136
#define NATIVIO_FRAME_RAX 144
#define NATIVIO_FRAME_RDX 152
#define NATIVIO_FRAME_XMM0 160
#define NATIVIO_FRAME_XMM1 168

#ifndef __ASSEMBLER__

#include <cstddef>
#include <cstdint>

namespace nativio {

// Everything the call routine needs: the registers to load before the call, the outgoing
// stack arguments, and the registers captured after it.
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

static_assert(offsetof(NativeCallFrame, integerRegisters) == NATIVIO_FRAME_INTEGER_REGISTERS);
static_assert(offsetof(NativeCallFrame, vectorRegisters) == NATIVIO_FRAME_VECTOR_REGISTERS);
static_assert(offsetof(NativeCallFrame, stackArguments) == NATIVIO_FRAME_STACK_ARGUMENTS);
static_assert(offsetof(NativeCallFrame, stackSize) == NATIVIO_FRAME_STACK_SIZE);
static_assert(offsetof(NativeCallFrame, vectorCount) == NATIVIO_FRAME_VECTOR_COUNT);
static_assert(offsetof(NativeCallFrame, function) == NATIVIO_FRAME_FUNCTION);
static_assert(offsetof(NativeCallFrame, rax) == NATIVIO_FRAME_RAX);
static_assert(offsetof(NativeCallFrame, rdx) == NATIVIO_FRAME_RDX);
static_assert(offsetof(NativeCallFrame, xmm0) == NATIVIO_FRAME_XMM0);
static_assert(offsetof(NativeCallFrame, xmm1) == NATIVIO_FRAME_XMM1);

}  // namespace nativio

// Loads the frame's registers and stack arguments, calls its function and captures the results.
extern "C" void nativio_call(nativio::NativeCallFrame* frame);

#endif
