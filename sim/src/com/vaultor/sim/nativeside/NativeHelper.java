package com.vaultor.sim.nativeside;

import com.nativio.ArgumentBlock;
import com.nativio.Function;
import com.nativio.Library;
import com.nativio.MemoryManager;
import com.nativio.ReturnType;
import java.nio.ByteBuffer;
import java.nio.ByteOrder;
import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.HashMap;
import java.util.List;
import java.util.Map;

/**
 * libvtnative as the service sees it: loaded through libnativio, its functions called with
 * argument blocks, its strings and string arrays read from native memory. The system property
 * "vtnative.library" may name the library file; otherwise the loader looks it up by name.
 */
public final class NativeHelper {
    private final long library;
    private final Map<String, Long> functions = new HashMap<>();

    private NativeHelper(long library) {
        this.library = library;
    }

    public static NativeHelper load() {
        String file = System.getProperty("vtnative.library");
        return new NativeHelper(Library.load(file == null || file.isEmpty() ? "libvtnative.so" : file));
    }

    /** A call of the named function, to be filled with arguments and invoked. */
    public Call call(String name, ReturnType returnType) {
        return new Call(function(name), returnType);
    }

    /** The value of one of the library's exported int32 constants. */
    public int intConstant(String name) {
        return buffer(Library.getVariableHandle(library, name), 4).getInt(0);
    }

    private synchronized long function(String name) {
        return functions.computeIfAbsent(name, missing -> Function.loadFunc(library, missing));
    }

    /** The NUL-terminated UTF-8 text at address; null for a null address. */
    public static String string(long address) {
        return address == 0 ? null : MemoryManager.readString(address, 0);
    }

    /** The pointer at index of the array of pointers at address. */
    public static long pointerAt(long array, int index) {
        return buffer(array + 8L * index, 8).getLong(0);
    }

    /** The texts of a NULL-terminated array of C strings, at most limit of them. */
    public static List<String> strings(long array, int limit) {
        List<String> texts = new ArrayList<>();
        for (int i = 0; array != 0 && i < limit; i++) {
            long text = pointerAt(array, i);
            if (text == 0) {
                break;
            }
            texts.add(string(text));
        }
        return texts;
    }

    static ByteBuffer buffer(long address, long length) {
        return MemoryManager.createBuffer(address, length).order(ByteOrder.LITTLE_ENDIAN);
    }

    /** An array of C strings in native memory, for the functions that take paths or names. */
    public static final class CStrings implements AutoCloseable {
        private final long array;
        private final long[] texts;

        public CStrings(List<String> values) {
            texts = new long[values.size()];
            array = MemoryManager.alloc(8L * (values.size() + 1));
            ByteBuffer pointers = buffer(array, 8L * (values.size() + 1));
            for (int i = 0; i < texts.length; i++) {
                byte[] bytes = values.get(i).getBytes(StandardCharsets.UTF_8);
                texts[i] = MemoryManager.alloc(bytes.length + 1L);
                buffer(texts[i], bytes.length + 1L).put(bytes).put((byte) 0);
                pointers.putLong(texts[i]);
            }
            pointers.putLong(0);
        }

        public long address() {
            return array;
        }

        public int count() {
            return texts.length;
        }

        @Override
        public void close() {
            for (long text : texts) {
                MemoryManager.free(text);
            }
            MemoryManager.free(array);
        }
    }

    /** One call: arguments in order, then invoke. */
    public static final class Call {
        private final long function;
        private final ArgumentBlock block;

        Call(long function, ReturnType returnType) {
            this.function = function;
            this.block = new ArgumentBlock(returnType);
        }

        public Call pointer(long address) {
            block.addPointer(address);
            return this;
        }

        public Call integer(int value) {
            block.addInt(value);
            return this;
        }

        public ArgumentBlock invoke() {
            return block.invoke(function);
        }
    }
}
