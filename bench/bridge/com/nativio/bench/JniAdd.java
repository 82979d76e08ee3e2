package com.nativio.bench;

/** add() through a hand-written JNI function. */
final class JniAdd {
    private JniAdd() {}

    static native int add(int a, int b);

    /** add() of the two ints at offsets 4 and 8 of the block; the sum lands at offset 0. */
    static native int addThroughArray(byte[] block, int size);
}
