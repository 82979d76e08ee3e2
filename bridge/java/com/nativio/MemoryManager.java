package com.nativio;

import java.nio.ByteBuffer;

/** Raw native memory for Java code. */
public final class MemoryManager {
    static {
        BridgeLoader.ensureLoaded();
    }

    private MemoryManager() {}

    /**
     * Allocates {@code size} bytes; when memory is short, collects garbage once and tries again,
     * then throws OutOfMemoryError "Out of memory".
     */
    public static native long alloc(long size);

    /** Resizes an allocation, with the same retry as {@link #alloc}. */
    public static native long realloc(long address, long size);

    public static native void free(long address);

    /** A direct buffer over {@code length} bytes of native memory at {@code address}. */
    public static native ByteBuffer createBuffer(long address, long length);

    /**
     * The NUL-terminated UTF-8 text at {@code address + offset}; an unreadable address throws
     * MemoryAccessViolationException with the signal number in hex.
     */
    public static native String readString(long address, long offset);

    /** The address as 8 little-endian bytes. */
    public static native byte[] convertToByteArray(long address);

    /** The address held in 8 little-endian bytes; anything but 8 bytes gives 0. */
    public static native long convertFromByteArray(byte[] bytes);
}
