package com.nativio;

/** Finds native functions and calls them with an argument block (see ArgumentBlock). */
public final class Function {
    static {
        BridgeLoader.ensureLoaded();
    }

    private Function() {}

    /** The address of a function; throws NoSuchFunctionException. */
    public static native long loadFunc(long libraryHandle, String name);

    public static native void unloadFunc(long functionAddress);

    /**
     * Calls the function with the first {@code size} bytes of {@code args} as argument block;
     * the first {@code returnSize} bytes of {@code args} receive the result.
     */
    public static native int invokeCFunc(
            long functionAddress,
            byte callingConvention,
            byte[] args,
            int size,
            int returnSize,
            int flags);

    /** As invokeCFunc, calling the {@code index}-th function pointer of a table. */
    public static native int invokeVirtualFunc(
            long tableAddress,
            int index,
            byte callingConvention,
            byte[] args,
            int size,
            int returnSize,
            int flags);
}
