// The register image that the callback entry in CallbackThunk.S saves before it hands over to
// the dispatcher, and the result registers it loads afterwards. The assembler includes this
// header too: it sees only the offsets below, which the C++ part checks against the struct.
#pragma once

#define NATIVIO_CALLBACK_INTEGER_REGISTERS 0
#define NATIVIO_CALLBACK_VECTOR_REGISTERS 48
#define NATIVIO_CALLBACK_STACK_ARGUMENTS 112
#define NATIVIO_CALLBACK_THUNK 120
#define NATIVIO_CALLBACK_RAX 128
#define NATIVIO_CALLBACK_RDX 136
#define NATIVIO_CALLBACK_XMM0 144
#define NATIVIO_CALLBACK_XMM1 152
#define NATIVIO_CALLBACK_FRAME_SIZE 160

#ifndef __ASSEMBLER__

#include <cstddef>
#include <cstdint>

namespace nativio {

// What a C caller passed to a thunk, and what the thunk returns to it.
struct CallbackFrame {
    static constexpr int kIntegerRegisters = 6;
    static constexpr int kVectorRegisters = 8;

    uint64_t integerRegisters[kIntegerRegisters];  // rdi, rsi, rdx, rcx, r8, r9
    uint64_t vectorRegisters[kVectorRegisters];    // xmm0..xmm7, low eightbyte each
    const uint8_t* stackArguments;                 // the caller's first stack argument
    const uint8_t* thunk;                          // the executable address that was called
    uint64_t rax;
    uint64_t rdx;
    uint64_t xmm0;
    uint64_t xmm1;
};

static_assert(offsetof(CallbackFrame, integerRegisters) == NATIVIO_CALLBACK_INTEGER_REGISTERS);
static_assert(offsetof(CallbackFrame, vectorRegisters) == NATIVIO_CALLBACK_VECTOR_REGISTERS);
static_assert(offsetof(CallbackFrame, stackArguments) == NATIVIO_CALLBACK_STACK_ARGUMENTS);
static_assert(offsetof(CallbackFrame, thunk) == NATIVIO_CALLBACK_THUNK);
static_assert(offsetof(CallbackFrame, rax) == NATIVIO_CALLBACK_RAX);
static_assert(offsetof(CallbackFrame, rdx) == NATIVIO_CALLBACK_RDX);
static_assert(offsetof(CallbackFrame, xmm0) == NATIVIO_CALLBACK_XMM0);
static_assert(offsetof(CallbackFrame, xmm1) == NATIVIO_CALLBACK_XMM1);
static_assert(sizeof(CallbackFrame) == NATIVIO_CALLBACK_FRAME_SIZE);

}  // namespace nativio

extern "C" {
// The machine code every thunk is a copy of (see CallbackThunk.S); it ends with the marker.
extern const uint8_t nativio_thunk_template[];
// Where every thunk jumps: saves the registers and calls nativio_callback_dispatch.
void nativio_callback_entry();
// Serves one callback; fills the result registers of the frame.
void nativio_callback_dispatch(nativio::CallbackFrame* frame);
}

#endif
