package com.nativio;

import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;

/**
 * The C signature of a callback: its return type and its parameters in order. From it follow
 * the meta record the bridge reads (parameter count, return kind, return size, then one type
 * code per parameter, a structure's code followed by its member count and member codes, a
 * memory block's by its length) and the parameter slots of each call: one 8-byte slot per
 * scalar, one per structure member, a memory block's bytes padded to a multiple of 8.
 *
 * <pre>
 *   new CallbackSignature(ReturnType.INT32).addInt().addPointer()
 * </pre>
 */
public final class CallbackSignature {
    /** Return kinds of the meta record; those of a native call, plus 0 for none. */
    static final int NO_RESULT = 0;

    static final int KIND_INTEGER = 1;
    static final int KIND_EIGHTBYTE = 2;
    static final int KIND_FLOAT = 3;
    static final int KIND_DOUBLE = 4;
    static final int KIND_MEMORY = 5;
    static final int KIND_VECTOR_INTEGER = 9;
    static final int KIND_INTEGER_VECTOR = 10;
    static final int KIND_VECTOR_VECTOR = 11;
    static final int KIND_INTEGER_INTEGER = 12;

    private final ReturnType returnType;
    private final List<Long> parameterWords = new ArrayList<>();
    private int[] codes = new int[4];
    private int[] slotOffsets = new int[4];
    private int[] lengths = new int[4];
    private int count;
    private int slotBytes;

    public CallbackSignature(ReturnType returnType) {
        this.returnType = returnType;
    }

    public CallbackSignature addPointer() {
        return scalar(TypeCode.POINTER);
    }

    public CallbackSignature addByte() {
        return scalar(TypeCode.INT8);
    }

    public CallbackSignature addShort() {
        return scalar(TypeCode.INT16);
    }

    public CallbackSignature addInt() {
        return scalar(TypeCode.INT32);
    }

    public CallbackSignature addLong() {
        return scalar(TypeCode.INT64);
    }

    public CallbackSignature addFloat() {
        return scalar(TypeCode.FLOAT);
    }

    public CallbackSignature addDouble() {
        return scalar(TypeCode.DOUBLE);
    }

    /** A C structure of more than 16 bytes passed by value, as {@code length} raw bytes. */
    public CallbackSignature addMemory(int length) {
        if (length <= 0) {
            throw new IllegalArgumentException("a memory block needs at least one byte");
        }
        parameterWords.add((long) TypeCode.MEMORY);
        parameterWords.add((long) length);
        return parameter(TypeCode.MEMORY, length, (length + 7) / 8 * 8);
    }

    /**
     * A structure passed by value, given its members' type codes in declaration order
     * ({@link TypeCode}: integers of 8 to 64 bits, pointers, floats and doubles).
     */
    public CallbackSignature addStructure(int... memberCodes) {
        if (memberCodes.length == 0) {
            throw new IllegalArgumentException("a structure needs at least one member");
        }
        parameterWords.add((long) TypeCode.STRUCTURE);
        parameterWords.add((long) memberCodes.length);
        for (int code : memberCodes) {
            if (code == TypeCode.MEMORY || code == TypeCode.STRUCTURE || code < 0 || code > 8) {
                throw new IllegalArgumentException("not a structure member: " + code);
            }
            parameterWords.add((long) code);
        }
        return parameter(TypeCode.STRUCTURE, memberCodes.length, 8 * memberCodes.length);
    }

    public ReturnType returnType() {
        return returnType;
    }

    public int parameterCount() {
        return count;
    }

    /** Bytes of parameter slots of one call. */
    public int slotBytes() {
        return slotBytes;
    }

    int code(int index) {
        check(index);
        return codes[index];
    }

    int slotOffset(int index) {
        check(index);
        return slotOffsets[index];
    }

    /** A memory block's length in bytes, or a structure's member count. */
    int length(int index) {
        check(index);
        return lengths[index];
    }

    /** The meta record's words. */
    long[] metaWords() {
        long[] words = new long[3 + parameterWords.size()];
        words[0] = count;
        words[1] = returnKind();
        words[2] = returnType.size();
        for (int i = 0; i < parameterWords.size(); i++) {
            words[3 + i] = parameterWords.get(i);
        }
        return words;
    }

    /** Where the result travels, decided by the return type as for a native call. */
    int returnKind() {
        int size = returnType.size();
        int flags = returnType.flags();
        if (size == 0) {
            return NO_RESULT;
        }
        if ((flags & ReturnType.FLAG_REGISTERS) != 0) {
            if ((flags & ReturnType.FLAG_VECTOR_INTEGER) != 0) {
                return KIND_VECTOR_INTEGER;
            }
            if ((flags & ReturnType.FLAG_INTEGER_VECTOR) != 0) {
                return KIND_INTEGER_VECTOR;
            }
            if ((flags & ReturnType.FLAG_VECTOR_VECTOR) != 0) {
                return KIND_VECTOR_VECTOR;
            }
            if ((flags & ReturnType.FLAG_INTEGER_INTEGER) != 0) {
                return KIND_INTEGER_INTEGER;
            }
            return (flags & ReturnType.FLAG_FLOATING_POINT) != 0 ? KIND_DOUBLE : KIND_EIGHTBYTE;
        }
        if ((flags & ReturnType.FLAG_FLOATING_POINT) != 0) {
            return size == 4 ? KIND_FLOAT : KIND_DOUBLE;
        }
        if (size >= 9 || (flags & ReturnType.FLAG_IN_MEMORY) != 0) {
            return KIND_MEMORY;
        }
        return size == 8 ? KIND_EIGHTBYTE : KIND_INTEGER;
    }

    private CallbackSignature scalar(int code) {
        parameterWords.add((long) code);
        return parameter(code, 0, 8);
    }

    private CallbackSignature parameter(int code, int length, int slots) {
        if (count == codes.length) {
            codes = Arrays.copyOf(codes, count * 2);
            slotOffsets = Arrays.copyOf(slotOffsets, count * 2);
            lengths = Arrays.copyOf(lengths, count * 2);
        }
        codes[count] = code;
        slotOffsets[count] = slotBytes;
        lengths[count] = length;
        count++;
        slotBytes += slots;
        return this;
    }

    private void check(int index) {
        if (index < 0 || index >= count) {
            throw new IndexOutOfBoundsException("parameter " + index + " of " + count);
        }
    }
}
