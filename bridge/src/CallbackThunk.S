// x86-64 System V callbacks: the thunk template and the common entry every thunk jumps to.
//
// A thunk is a copy of the template in a page of its own pool. It loads its own address into
// r10 (neither an argument register nor callee-saved, so free at a call) and jumps to the
// entry, whose address is patched over the first placeholder. The second placeholder is data:
// it receives the global reference to the Java callback object.

#include "src/CallbackFrame.h"

    .section .rodata
    .globl  nativio_thunk_template
    .hidden nativio_thunk_template
    .type   nativio_thunk_template, @object
    .balign 16
nativio_thunk_template:
    leaq    nativio_thunk_template(%rip), %r10
    movabsq $0x1526374815263748, %r11
    jmpq    *%r11
    .balign 8, 0xcc
    .quad   0x1234567812345678
    .long   0xfedcba98
    .size   nativio_thunk_template, .-nativio_thunk_template

    .text
    .globl  nativio_callback_entry
    .hidden nativio_callback_entry
    .type   nativio_callback_entry, @function
nativio_callback_entry:
    .cfi_startproc
    pushq   %rbp
    .cfi_def_cfa_offset 16
    .cfi_offset %rbp, -16
    movq    %rsp, %rbp
    .cfi_def_cfa_register %rbp
    subq    $NATIVIO_CALLBACK_FRAME_SIZE, %rsp

    movq    %rdi, NATIVIO_CALLBACK_INTEGER_REGISTERS(%rsp)
    movq    %rsi, NATIVIO_CALLBACK_INTEGER_REGISTERS+8(%rsp)
    movq    %rdx, NATIVIO_CALLBACK_INTEGER_REGISTERS+16(%rsp)
    movq    %rcx, NATIVIO_CALLBACK_INTEGER_REGISTERS+24(%rsp)
    movq    %r8, NATIVIO_CALLBACK_INTEGER_REGISTERS+32(%rsp)
    movq    %r9, NATIVIO_CALLBACK_INTEGER_REGISTERS+40(%rsp)
    movq    %xmm0, NATIVIO_CALLBACK_VECTOR_REGISTERS(%rsp)
    movq    %xmm1, NATIVIO_CALLBACK_VECTOR_REGISTERS+8(%rsp)
    movq    %xmm2, NATIVIO_CALLBACK_VECTOR_REGISTERS+16(%rsp)
    movq    %xmm3, NATIVIO_CALLBACK_VECTOR_REGISTERS+24(%rsp)
    movq    %xmm4, NATIVIO_CALLBACK_VECTOR_REGISTERS+32(%rsp)
    movq    %xmm5, NATIVIO_CALLBACK_VECTOR_REGISTERS+40(%rsp)
    movq    %xmm6, NATIVIO_CALLBACK_VECTOR_REGISTERS+48(%rsp)
    movq    %xmm7, NATIVIO_CALLBACK_VECTOR_REGISTERS+56(%rsp)
    // Above the saved rbp lies the return address, then the caller's stack arguments.
    leaq    16(%rbp), %rax
    movq    %rax, NATIVIO_CALLBACK_STACK_ARGUMENTS(%rsp)
    movq    %r10, NATIVIO_CALLBACK_THUNK(%rsp)

    movq    %rsp, %rdi
    call    nativio_callback_dispatch

    movq    NATIVIO_CALLBACK_RAX(%rsp), %rax
    movq    NATIVIO_CALLBACK_RDX(%rsp), %rdx
    movq    NATIVIO_CALLBACK_XMM0(%rsp), %xmm0
    movq    NATIVIO_CALLBACK_XMM1(%rsp), %xmm1
    leave
    .cfi_def_cfa %rsp, 8
    ret
    .cfi_endproc
    .size   nativio_callback_entry, .-nativio_callback_entry

    .section .note.GNU-stack,"",@progbits
