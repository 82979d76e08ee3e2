// x86-64 System V call with a register image prepared in C++ (see NativeCallFrame.h).
//
// void nativio_call(NativeCallFrame* frame)
//
// The frame pointer stays in rbx (callee-saved), so the callee cannot disturb it; the
// outgoing stack arguments are copied just below a 16-byte aligned stack pointer, as the
// callee expects them at 8(%rsp) after the return address is pushed.

#include "src/NativeCallFrame.h"

    .text
    .globl  nativio_call
    .hidden nativio_call
    .type   nativio_call, @function
nativio_call:
    .cfi_startproc
    pushq   %rbp
    .cfi_def_cfa_offset 16
    .cfi_offset %rbp, -16
    movq    %rsp, %rbp
    .cfi_def_cfa_register %rbp
    pushq   %rbx
    pushq   %r12  // saved only to keep rsp 16-byte aligned
    .cfi_offset %rbx, -24
    .cfi_offset %r12, -32
    movq    %rdi, %rbx

    // Room for the stack arguments, rounded up so that rsp stays 16-byte aligned.
    movq    NATIVIO_FRAME_STACK_SIZE(%rbx), %rcx
    addq    $15, %rcx
    andq    $-16, %rcx
    subq    %rcx, %rsp
    movq    %rsp, %rdi
    movq    NATIVIO_FRAME_STACK_ARGUMENTS(%rbx), %rsi
    movq    NATIVIO_FRAME_STACK_SIZE(%rbx), %rcx
    testq   %rcx, %rcx
    jz      1f
    rep movsb
1:

    movq    NATIVIO_FRAME_VECTOR_REGISTERS(%rbx), %xmm0
    movq    NATIVIO_FRAME_VECTOR_REGISTERS+8(%rbx), %xmm1
    movq    NATIVIO_FRAME_VECTOR_REGISTERS+16(%rbx), %xmm2
    movq    NATIVIO_FRAME_VECTOR_REGISTERS+24(%rbx), %xmm3
    movq    NATIVIO_FRAME_VECTOR_REGISTERS+32(%rbx), %xmm4
    movq    NATIVIO_FRAME_VECTOR_REGISTERS+40(%rbx), %xmm5
    movq    NATIVIO_FRAME_VECTOR_REGISTERS+48(%rbx), %xmm6
    movq    NATIVIO_FRAME_VECTOR_REGISTERS+56(%rbx), %xmm7

    movq    NATIVIO_FRAME_FUNCTION(%rbx), %r11
    movq    NATIVIO_FRAME_INTEGER_REGISTERS(%rbx), %rdi
    movq    NATIVIO_FRAME_INTEGER_REGISTERS+8(%rbx), %rsi
    movq    NATIVIO_FRAME_INTEGER_REGISTERS+16(%rbx), %rdx
    movq    NATIVIO_FRAME_INTEGER_REGISTERS+24(%rbx), %rcx
    movq    NATIVIO_FRAME_INTEGER_REGISTERS+32(%rbx), %r8
    movq    NATIVIO_FRAME_INTEGER_REGISTERS+40(%rbx), %r9
    movq    NATIVIO_FRAME_VECTOR_COUNT(%rbx), %rax
    call    *%r11

    movq    %rax, NATIVIO_FRAME_RAX(%rbx)
    movq    %rdx, NATIVIO_FRAME_RDX(%rbx)
    movq    %xmm0, NATIVIO_FRAME_XMM0(%rbx)
    movq    %xmm1, NATIVIO_FRAME_XMM1(%rbx)

    leaq    -16(%rbp), %rsp
    popq    %r12
    popq    %rbx
    popq    %rbp
    .cfi_def_cfa %rsp, 8
    ret
    .cfi_endproc
    .size   nativio_call, .-nativio_call

    .section .note.GNU-stack,"",@progbits
