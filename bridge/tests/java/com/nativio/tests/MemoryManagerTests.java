package com.nativio.tests;

import com.nativio.MemoryAccessViolationException;
import com.nativio.MemoryManager;
import java.nio.ByteBuffer;
import java.nio.ByteOrder;
import java.nio.charset.StandardCharsets;

/** Native memory from Java. */
final class MemoryManagerTests {
    private MemoryManagerTests() {}

    static void testAllocateWriteReadResizeFree() {
        long address = MemoryManager.alloc(16);
        Check.isTrue(address != 0, "allocated");
        ByteBuffer buffer = MemoryManager.createBuffer(address, 16);
        Check.equal(16, buffer.capacity(), "buffer capacity");
        byte[] text = "héllo\0".getBytes(StandardCharsets.UTF_8);
        buffer.put(0, (byte) 'x');
        buffer.position(1);
        buffer.put(text);
        Check.equal("héllo", MemoryManager.readString(address, 1), "string at an offset");
        Check.equal("xhéllo", MemoryManager.readString(address, 0), "string");
        long moved = MemoryManager.realloc(address, 1 << 20);
        Check.equal("xhéllo", MemoryManager.readString(moved, 0), "string kept by realloc");
        MemoryManager.free(moved);
        long empty = MemoryManager.alloc(0);
        Check.isTrue(empty != 0, "an empty allocation is still an allocation");
        MemoryManager.free(empty);
        MemoryManager.free(0);
        Check.raises(IllegalArgumentException.class, null, () -> MemoryManager.alloc(-1));
        Check.raises(IllegalArgumentException.class, null, () -> MemoryManager.createBuffer(0, 8));
    }

    static void testUnreadableStringRaisesTheFaultCode() {
        // 11 is SIGSEGV.
        Check.raises(MemoryAccessViolationException.class, "b", () -> MemoryManager.readString(8, 0));
        Check.raises(MemoryAccessViolationException.class, "b", () -> MemoryManager.readString(0, 16));
    }

    static void testAddressesAsByteArrays() {
        long address = 0x0123456789abcdefL;
        byte[] bytes = MemoryManager.convertToByteArray(address);
        Check.equal(8, bytes.length, "length");
        Check.equal(address, ByteBuffer.wrap(bytes).order(ByteOrder.LITTLE_ENDIAN).getLong(), "little-endian");
        Check.equal(address, MemoryManager.convertFromByteArray(bytes), "round trip");
        Object[][] refused = {{new byte[4]}, {new byte[9]}, {new byte[0]}, {null}};
        for (Object[] c : refused) {
            Check.equal(0, MemoryManager.convertFromByteArray((byte[]) c[0]), "refused length");
        }
        Check.equal(0, MemoryManager.convertFromByteArray(new byte[] {1, 2, 3, 4}), "4 bytes");
    }
}
