package com.nativio;

import java.lang.annotation.Native;

/**
 * Type codes of argument block entries. The bridge reads them from the header javac generates
 * for this class ({@code @Native}), so Java and C cannot disagree.
 */
public final class TypeCode {
    @Native public static final int POINTER = 0;
    @Native public static final int INT32 = 1;
    @Native public static final int INT64 = 2;
    @Native public static final int FLOAT = 3;
    @Native public static final int DOUBLE = 4;
    @Native public static final int MEMORY = 5;
    @Native public static final int STRUCTURE = 6;
    @Native public static final int INT8 = 7;
    @Native public static final int INT16 = 8;

    private TypeCode() {}
}
