package com.nativio;

/**
 * One call of a {@link CallbackFunction}: its parameters, read from the slots the bridge
 * filled, and its result, written where the bridge picks it up. Valid only during the call.
 */
public final class CallbackInvocation {
    private final CallbackSignature signature;
    private final long slots;
    private final long result;

    CallbackInvocation(CallbackSignature signature, long slots, long result) {
        this.signature = signature;
        this.slots = slots;
        this.result = result;
    }

    public byte byteAt(int index) {
        return NativeMemory.getByte(slot(index));
    }

    public short shortAt(int index) {
        return NativeMemory.getShort(slot(index));
    }

    public int intAt(int index) {
        return NativeMemory.getInt(slot(index));
    }

    public long longAt(int index) {
        return NativeMemory.getLong(slot(index));
    }

    public long pointerAt(int index) {
        return longAt(index);
    }

    public float floatAt(int index) {
        return Float.intBitsToFloat(intAt(index));
    }

    public double doubleAt(int index) {
        return Double.longBitsToDouble(longAt(index));
    }

    /** The bytes of a memory block parameter. */
    public byte[] memoryAt(int index) {
        if (signature.code(index) != TypeCode.MEMORY) {
            throw new IllegalArgumentException("parameter " + index + " is no memory block");
        }
        return NativeMemory.read(slots + signature.slotOffset(index), signature.length(index));
    }

    /**
     * The raw bits of a structure member (zero-extended to 64; a float in the low 32): use
     * {@link Float#intBitsToFloat} or {@link Double#longBitsToDouble} for floating members.
     */
    public long memberAt(int index, int member) {
        if (signature.code(index) != TypeCode.STRUCTURE
                || member < 0
                || member >= signature.length(index)) {
            throw new IndexOutOfBoundsException("member " + member + " of parameter " + index);
        }
        return NativeMemory.getLong(slots + signature.slotOffset(index) + 8L * member);
    }

    public void returnInt(int value) {
        NativeMemory.putInt(result, value);
    }

    public void returnLong(long value) {
        NativeMemory.putLong(result, value);
    }

    public void returnFloat(float value) {
        NativeMemory.putInt(result, Float.floatToRawIntBits(value));
    }

    public void returnDouble(double value) {
        NativeMemory.putLong(result, Double.doubleToRawLongBits(value));
    }

    /**
     * The bytes of a structure result, as C lays the structure out in memory (at most the
     * return type's size).
     */
    public void returnBytes(byte[] bytes) {
        if (bytes.length > signature.returnType().size()) {
            throw new IllegalArgumentException(
                    bytes.length + " bytes for a result of " + signature.returnType().size());
        }
        NativeMemory.write(result, bytes);
    }

    private long slot(int index) {
        int code = signature.code(index);
        if (code == TypeCode.MEMORY || code == TypeCode.STRUCTURE) {
            throw new IllegalArgumentException("parameter " + index + " is no scalar");
        }
        return slots + signature.slotOffset(index);
    }
}
