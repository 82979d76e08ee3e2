package com.nativio.bench;

/** add() through a hand-written JNI function. */
final class JniAdd {
    private JniAdd() {}

    static native int add(int a, int b);
}
