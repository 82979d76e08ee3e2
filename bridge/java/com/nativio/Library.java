package com.nativio;

import java.nio.charset.StandardCharsets;

/** Opens native libraries and finds their variables. */
public final class Library {
    static {
        BridgeLoader.ensureLoaded();
    }

    private Library() {}

    /** Opens the library at the NUL-terminated path; throws LibraryNotFoundException. */
    public static native long loadLibrary(byte[] path);

    /** Closes a library; returns the loader's result (0 on success). */
    public static native int freeLibrary(long handle);

    /** The address of a variable; throws NoSuchVariableException. */
    public static native long getVariableHandle(long handle, String name);

    /** Convenience: opens the library at a path given as a Java string. */
    public static long load(String path) {
        byte[] text = path.getBytes(StandardCharsets.UTF_8);
        byte[] terminated = new byte[text.length + 1];
        System.arraycopy(text, 0, terminated, 0, text.length);
        return loadLibrary(terminated);
    }
}
