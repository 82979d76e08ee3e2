package com.nativio;

import java.lang.annotation.Native;
import java.lang.invoke.MethodHandles;
import java.lang.invoke.VarHandle;
import java.nio.ByteOrder;
import java.util.Arrays;

/**
 * Builds the argument block of one native call (return area, entry count, entries, all
 * little-endian), performs the call, and reads the result back. A block can be reset and
 * reused for the next call.
 *
 * <pre>
 *   int sum = new ArgumentBlock(ReturnType.INT32).addInt(2).addInt(3).invoke(add).resultInt();
 * </pre>
 */
public final class ArgumentBlock {
    /** The only calling convention of the platform; the bridge accepts and ignores it. */
    @Native public static final byte DEFAULT_CONVENTION = 1;

    private static final VarHandle LONG =
            MethodHandles.byteArrayViewVarHandle(long[].class, ByteOrder.LITTLE_ENDIAN);
    private static final VarHandle INT =
            MethodHandles.byteArrayViewVarHandle(int[].class, ByteOrder.LITTLE_ENDIAN);
    private static final VarHandle SHORT =
            MethodHandles.byteArrayViewVarHandle(short[].class, ByteOrder.LITTLE_ENDIAN);

    private ReturnType returnType;
    private byte[] bytes;
    private int length;
    private long entries;

    public ArgumentBlock(ReturnType returnType) {
        bytes = new byte[Math.max(64, returnType.size() + 40)];
        reset(returnType);
    }

    /** Empties the block for a new call with the same return type. */
    public ArgumentBlock reset() {
        return reset(returnType);
    }

    /** Empties the block for a new call returning {@code type}. */
    public ArgumentBlock reset(ReturnType type) {
        returnType = type;
        length = type.size() + 8;
        ensure(0);
        Arrays.fill(bytes, 0, type.size(), (byte) 0);
        entries = 0;
        return this;
    }

    public ArgumentBlock addPointer(long address) {
        return scalar(TypeCode.POINTER, address);
    }

    public ArgumentBlock addByte(byte value) {
        return scalar(TypeCode.INT8, value);
    }

    public ArgumentBlock addShort(short value) {
        return scalar(TypeCode.INT16, value);
    }

    public ArgumentBlock addInt(int value) {
        return scalar(TypeCode.INT32, value);
    }

    public ArgumentBlock addLong(long value) {
        return scalar(TypeCode.INT64, value);
    }

    public ArgumentBlock addFloat(float value) {
        return scalar(TypeCode.FLOAT, Float.floatToRawIntBits(value) & 0xffffffffL);
    }

    public ArgumentBlock addDouble(double value) {
        return scalar(TypeCode.DOUBLE, Double.doubleToRawLongBits(value));
    }

    /** A block of memory passed by value on the stack (a C structure of more than 16 bytes). */
    public ArgumentBlock addMemory(byte[] memory) {
        scalar(TypeCode.MEMORY, memory.length);
        ensure(memory.length);
        System.arraycopy(memory, 0, bytes, length, memory.length);
        length += memory.length;
        return this;
    }

    /** A structure passed by value: its header entry, then one entry per member. */
    public ArgumentBlock addStructure(Structure structure) {
        scalar(TypeCode.STRUCTURE, structure.memberCount());
        for (int i = 0; i < structure.memberCount(); i++) {
            scalar(structure.code(i), structure.value(i));
        }
        return this;
    }

    /** Calls the function at {@code address}; the result is then available. */
    public ArgumentBlock invoke(long address) {
        seal();
        Function.invokeCFunc(
                address, DEFAULT_CONVENTION, bytes, length, returnType.size(), returnType.flags());
        return this;
    }

    /** Calls the {@code index}-th function of the table at {@code tableAddress}. */
    public ArgumentBlock invokeVirtual(long tableAddress, int index) {
        seal();
        Function.invokeVirtualFunc(
                tableAddress,
                index,
                DEFAULT_CONVENTION,
                bytes,
                length,
                returnType.size(),
                returnType.flags());
        return this;
    }

    /** The block as the bridge receives it (return area, count, entries). */
    public byte[] toByteArray() {
        seal();
        return Arrays.copyOf(bytes, length);
    }

    public ReturnType returnType() {
        return returnType;
    }

    public byte resultByte() {
        return bytes[0];
    }

    public short resultShort() {
        return (short) SHORT.get(bytes, 0);
    }

    public int resultInt() {
        return (int) INT.get(bytes, 0);
    }

    public long resultLong() {
        return (long) LONG.get(bytes, 0);
    }

    public float resultFloat() {
        return Float.intBitsToFloat(resultInt());
    }

    public double resultDouble() {
        return Double.longBitsToDouble(resultLong());
    }

    /** The whole return area. */
    public byte[] resultBytes() {
        return Arrays.copyOf(bytes, returnType.size());
    }

    private ArgumentBlock scalar(int code, long value) {
        ensure(16);
        LONG.set(bytes, length, (long) code);
        LONG.set(bytes, length + 8, value);
        length += 16;
        entries++;
        return this;
    }

    private void seal() {
        LONG.set(bytes, returnType.size(), entries);
    }

    private void ensure(int more) {
        if (length + more > bytes.length) {
            bytes = Arrays.copyOf(bytes, Math.max(bytes.length * 2, length + more));
        }
    }
}
