package com.nativio;

import java.lang.annotation.Native;

/**
 * What a native function returns: the size of the return area and the flags that tell the
 * bridge which registers hold the result. The bridge reads the flags from the header javac
 * generates for this class ({@code @Native}).
 */
public final class ReturnType {
    /** Result in a vector register (float or double). */
    @Native public static final int FLAG_FLOATING_POINT = 1;
    /** Result written by the callee through a hidden pointer to the return area. */
    @Native public static final int FLAG_IN_MEMORY = 1 << 1;
    /** An 8- or 16-bit integer result. */
    @Native public static final int FLAG_SMALL_INTEGER = 1 << 2;
    /** A small structure returned in registers. */
    @Native public static final int FLAG_REGISTERS = 1 << 3;
    @Native public static final int FLAG_VECTOR_INTEGER = 1 << 4;
    @Native public static final int FLAG_INTEGER_VECTOR = 1 << 5;
    @Native public static final int FLAG_VECTOR_VECTOR = 1 << 6;
    @Native public static final int FLAG_INTEGER_INTEGER = 1 << 7;

    /** The register class of one eightbyte of a structure. */
    public enum Eightbyte {
        INTEGER,
        VECTOR
    }

    public static final ReturnType VOID = new ReturnType(0, 0);
    public static final ReturnType INT8 = new ReturnType(1, FLAG_SMALL_INTEGER);
    public static final ReturnType INT16 = new ReturnType(2, FLAG_SMALL_INTEGER);
    public static final ReturnType INT32 = new ReturnType(4, 0);
    public static final ReturnType INT64 = new ReturnType(8, 0);
    public static final ReturnType POINTER = INT64;
    public static final ReturnType FLOAT = new ReturnType(4, FLAG_FLOATING_POINT);
    public static final ReturnType DOUBLE = new ReturnType(8, FLAG_FLOATING_POINT);

    private final int size;
    private final int flags;

    private ReturnType(int size, int flags) {
        this.size = size;
        this.flags = flags;
    }

    /** A structure of {@code size} bytes that the callee writes through a hidden pointer. */
    public static ReturnType inMemory(int size) {
        return new ReturnType(size, FLAG_IN_MEMORY);
    }

    /** A structure of at most 8 bytes returned in one register. */
    public static ReturnType structure(int size, Eightbyte only) {
        return new ReturnType(
                size, FLAG_REGISTERS | (only == Eightbyte.VECTOR ? FLAG_FLOATING_POINT : 0));
    }

    /** A structure of 9 to 16 bytes returned in two registers. */
    public static ReturnType structure(int size, Eightbyte first, Eightbyte second) {
        int pair;
        if (first == Eightbyte.VECTOR) {
            pair = second == Eightbyte.VECTOR ? FLAG_VECTOR_VECTOR : FLAG_VECTOR_INTEGER;
        } else {
            pair = second == Eightbyte.VECTOR ? FLAG_INTEGER_VECTOR : FLAG_INTEGER_INTEGER;
        }
        return new ReturnType(size, FLAG_REGISTERS | pair);
    }

    public int size() {
        return size;
    }

    public int flags() {
        return flags;
    }
}
