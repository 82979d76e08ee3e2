package com.nativio;

import java.lang.invoke.MethodHandle;
import java.lang.invoke.MethodHandles;
import java.lang.invoke.MethodType;
import java.lang.reflect.Field;

/**
 * Plain reads and writes of native memory at an address, for the callback machinery: the
 * parameter slots of every callback pass through here, so they must not cost a native call.
 * The JDK's unsafe accessors are reached through constant method handles, which the compiler
 * inlines as if they were called directly.
 */
final class NativeMemory {
    private static final MethodHandle GET_BYTE = accessor("getByte", byte.class, long.class);
    private static final MethodHandle GET_SHORT = accessor("getShort", short.class, long.class);
    private static final MethodHandle GET_INT = accessor("getInt", int.class, long.class);
    private static final MethodHandle GET_LONG = accessor("getLong", long.class, long.class);
    private static final MethodHandle PUT_INT =
            accessor("putInt", void.class, long.class, int.class);
    private static final MethodHandle PUT_LONG =
            accessor("putLong", void.class, long.class, long.class);
    private static final MethodHandle COPY =
            accessor(
                    "copyMemory",
                    void.class,
                    Object.class,
                    long.class,
                    Object.class,
                    long.class,
                    long.class);
    private static final long BYTES = byteArrayBase();

    private NativeMemory() {}

    private static Object unsafe() throws ReflectiveOperationException {
        Class<?> type = Class.forName("sun.misc.Unsafe");
        Field field = type.getDeclaredField("theUnsafe");
        field.setAccessible(true);
        return field.get(null);
    }

    private static MethodHandle accessor(String name, Class<?> result, Class<?>... parameters) {
        try {
            Object unsafe = unsafe();
            return MethodHandles.publicLookup()
                    .findVirtual(unsafe.getClass(), name, MethodType.methodType(result, parameters))
                    .bindTo(unsafe);
        } catch (ReflectiveOperationException e) {
            throw new ExceptionInInitializerError(e);
        }
    }

    private static long byteArrayBase() {
        try {
            MethodHandle base =
                    accessor("arrayBaseOffset", int.class, Class.class);
            return (int) base.invokeExact(byte[].class);
        } catch (Throwable e) {
            throw new ExceptionInInitializerError(e);
        }
    }

    static byte getByte(long address) {
        try {
            return (byte) GET_BYTE.invokeExact(address);
        } catch (Throwable e) {
            throw rethrown(e);
        }
    }

    static short getShort(long address) {
        try {
            return (short) GET_SHORT.invokeExact(address);
        } catch (Throwable e) {
            throw rethrown(e);
        }
    }

    static int getInt(long address) {
        try {
            return (int) GET_INT.invokeExact(address);
        } catch (Throwable e) {
            throw rethrown(e);
        }
    }

    static long getLong(long address) {
        try {
            return (long) GET_LONG.invokeExact(address);
        } catch (Throwable e) {
            throw rethrown(e);
        }
    }

    static void putInt(long address, int value) {
        try {
            PUT_INT.invokeExact(address, value);
        } catch (Throwable e) {
            throw rethrown(e);
        }
    }

    static void putLong(long address, long value) {
        try {
            PUT_LONG.invokeExact(address, value);
        } catch (Throwable e) {
            throw rethrown(e);
        }
    }

    static byte[] read(long address, int length) {
        byte[] bytes = new byte[length];
        try {
            COPY.invokeExact((Object) null, address, (Object) bytes, BYTES, (long) length);
        } catch (Throwable e) {
            throw rethrown(e);
        }
        return bytes;
    }

    static void write(long address, byte[] bytes) {
        try {
            COPY.invokeExact((Object) bytes, BYTES, (Object) null, address, (long) bytes.length);
        } catch (Throwable e) {
            throw rethrown(e);
        }
    }

    private static RuntimeException rethrown(Throwable e) {
        if (e instanceof RuntimeException) {
            return (RuntimeException) e;
        }
        if (e instanceof Error) {
            throw (Error) e;
        }
        return new IllegalStateException(e);
    }
}
