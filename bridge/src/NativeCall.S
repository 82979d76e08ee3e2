// x86-64 System V call with a register image prepared in C++ (see NativeCallFrame.h).
//
// void nativio_call(NativeCallFrame* frame)
//
// The frame pointer stays in rbx (callee-saved), so the callee cannot disturb it; the
// outgoing stack arguments are copied just below a 16-byte aligned stack pointer, as the
// callee expects them at 8(%rsp) after the return address is pushed.

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
    movq    120(%rbx), %rcx
    addq    $15, %rcx
    andq    $-16, %rcx
    subq    %rcx, %rsp
    movq    %rsp, %rdi
    movq    112(%rbx), %rsi
    movq    120(%rbx), %rcx
    testq   %rcx, %rcx
    jz      1f
    rep movsb
1:

    movq    48(%rbx), %xmm0
    movq    56(%rbx), %xmm1
    movq    64(%rbx), %xmm2
    movq    72(%rbx), %xmm3
    movq    80(%rbx), %xmm4
    movq    88(%rbx), %xmm5
    movq    96(%rbx), %xmm6
    movq    104(%rbx), %xmm7

    movq    136(%rbx), %r11
    movq    0(%rbx), %rdi
    movq    8(%rbx), %rsi
    movq    16(%rbx), %rdx
    movq    24(%rbx), %rcx
    movq    32(%rbx), %r8
    movq    40(%rbx), %r9
    movq    128(%rbx), %rax
    call    *%r11

    movq    %rax, 144(%rbx)
    movq    %rdx, 152(%rbx)
    movq    %xmm0, 160(%rbx)
    movq    %xmm1, 168(%rbx)

    leaq    -16(%rbp), %rsp
    popq    %r12
    popq    %rbx
    popq    %rbp
    .cfi_def_cfa %rsp, 8
    ret
    .cfi_endproc
    .size   nativio_call, .-nativio_call

    .section .note.GNU-stack,"",@progbits
