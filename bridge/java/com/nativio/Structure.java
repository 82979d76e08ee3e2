package com.nativio;

import java.util.Arrays;

/**
 * A C structure passed by value, described member by member in declaration order. The bridge
 * lays the members out at their natural alignment, as the C compiler does.
 */
public final class Structure {
    private int[] codes = new int[4];
    private long[] values = new long[4];
    private int count;

    public Structure int8(byte value) {
        return member(TypeCode.INT8, value);
    }

    public Structure int16(short value) {
        return member(TypeCode.INT16, value);
    }

    public Structure int32(int value) {
        return member(TypeCode.INT32, value);
    }

    public Structure int64(long value) {
        return member(TypeCode.INT64, value);
    }

    public Structure pointer(long address) {
        return member(TypeCode.POINTER, address);
    }

    public Structure float32(float value) {
        return member(TypeCode.FLOAT, Float.floatToRawIntBits(value) & 0xffffffffL);
    }

    public Structure float64(double value) {
        return member(TypeCode.DOUBLE, Double.doubleToRawLongBits(value));
    }

    int memberCount() {
        return count;
    }

    int code(int index) {
        return codes[index];
    }

    long value(int index) {
        return values[index];
    }

    private Structure member(int code, long value) {
        if (count == codes.length) {
            codes = Arrays.copyOf(codes, count * 2);
            values = Arrays.copyOf(values, count * 2);
        }
        codes[count] = code;
        values[count] = value;
        count++;
        return this;
    }
}
