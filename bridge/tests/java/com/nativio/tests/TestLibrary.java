package com.nativio.tests;

import com.nativio.ArgumentBlock;
import com.nativio.Function;
import com.nativio.Library;
import com.nativio.ReturnType;
import java.nio.ByteBuffer;
import java.nio.ByteOrder;
import java.nio.charset.StandardCharsets;

/** The C test library, opened once, and small helpers over its functions. */
final class TestLibrary {
    static final long HANDLE = Library.load(System.getProperty("nativio.testlib"));

    private TestLibrary() {}

    static long function(String name) {
        return Function.loadFunc(HANDLE, name);
    }

    static ArgumentBlock call(ReturnType type) {
        return new ArgumentBlock(type);
    }

    static long pointer(String functionName) {
        return call(ReturnType.POINTER).invoke(function(functionName)).resultLong();
    }

    /** The 32 bytes at a native address, as little-endian buffer. */
    static ByteBuffer peek(long address) {
        byte[] bytes =
                call(ReturnType.inMemory(32)).addPointer(address).invoke(function("nt_peek"))
                        .resultBytes();
        return ByteBuffer.wrap(bytes).order(ByteOrder.LITTLE_ENDIAN);
    }

    /** The native string at an address (up to 63 bytes). */
    static String text(long address) {
        byte[] bytes =
                call(ReturnType.inMemory(64)).addPointer(address).invoke(function("nt_text_at"))
                        .resultBytes();
        int end = 0;
        while (end < bytes.length && bytes[end] != 0) {
            end++;
        }
        return new String(bytes, 0, end, StandardCharsets.UTF_8);
    }

    static int counter() {
        return call(ReturnType.INT32)
                .addPointer(Library.getVariableHandle(HANDLE, "nt_counter"))
                .invoke(function("nt_read_int"))
                .resultInt();
    }
}
