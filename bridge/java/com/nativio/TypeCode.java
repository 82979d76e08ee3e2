package com.nativio;

/** Type codes of argument block entries. */
public final class TypeCode {
    public static final int POINTER = 0;
    public static final int INT32 = 1;
    public static final int INT64 = 2;
    public static final int FLOAT = 3;
    public static final int DOUBLE = 4;
    public static final int MEMORY = 5;
    public static final int STRUCTURE = 6;
    public static final int INT8 = 7;
    public static final int INT16 = 8;

    private TypeCode() {}
}
