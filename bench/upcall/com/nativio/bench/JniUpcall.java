package com.nativio.bench;

/** The hand-written JNI upcall: C calls {@link #cb} through CallStaticIntMethod. */
final class JniUpcall {
    private JniUpcall() {}

    /** The address of the C function that makes the upcall. */
    static native long prepare();

    static int cb(int a, int b) {
        return a + b;
    }
}
