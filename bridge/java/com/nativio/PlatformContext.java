package com.nativio;

/** Facts of the native platform and conversions to and from its floating-point formats. */
public final class PlatformContext {
    static {
        BridgeLoader.ensureLoaded();
    }

    private PlatformContext() {}

    public static native int getBoolLength();

    public static native int getWideCharLength();

    public static native int getPointerLength();

    public static native int getShortLength();

    public static native int getIntLength();

    public static native int getLongLength();

    public static native int getFloatLength();

    public static native int getDoubleLength();

    public static native int getLongDoubleLength();

    public static native boolean isLittleEndian();

    public static native int getParameterAlignment();

    public static native int getDefaultStructureAlignment();

    public static native int getDefaultCallingConvention();

    /** Length of the NUL-terminated string at the address; throws MemoryAccessViolationException. */
    public static native long strlen(long address);

    /** Length of the wide string at the address; throws MemoryAccessViolationException. */
    public static native long wcslen(long address);

    public static native double convertCFloatToDouble(byte[] bytes);

    public static native double convertCDoubleToDouble(byte[] bytes);

    public static native double convertCLongDoubleToDouble(byte[] bytes);

    public static native byte[] convertDoubleToCFloat(double value);

    public static native byte[] convertDoubleToCDouble(double value);

    public static native byte[] convertDoubleToCLongDouble(double value);
}
