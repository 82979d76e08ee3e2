package com.nativio;

/**
 * Native function pointers that call back into Java objects. The object may be of any class
 * with {@code public int getParametersLength()}, {@code public long getCallbackMetaInfo()} and
 * {@code public long enterPoint(long buffer, int length)}; {@link CallbackFunction} implements
 * them for a Java function with a given C signature.
 */
public final class Callback {
    static {
        BridgeLoader.ensureLoaded();
    }

    private Callback() {}

    /**
     * A new thunk calling {@code callback}; C code may call it from any thread until it is
     * released. Throws OutOfMemoryError when no thunk can be allocated.
     */
    public static native long createNativeFunctionInstance(Object callback);

    /**
     * Releases a thunk, once, when no C code can call it any more. Throws
     * IllegalArgumentException for an address that is not a live thunk.
     */
    public static native void releaseNativeFunctionInstance(long address);
}
