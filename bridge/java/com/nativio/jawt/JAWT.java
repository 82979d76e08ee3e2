package com.nativio.jawt;

import com.nativio.BridgeLoader;
import java.awt.Component;

/**
 * The Java AWT native interface: the AWT lock, and the native drawing surfaces of components.
 * Without the interface (a headless runtime, no display) every call throws
 * UnsupportedOperationException "JAWT is not supported by this Java version".
 */
public final class JAWT {
    static {
        BridgeLoader.ensureLoaded();
    }

    private JAWT() {}

    public static native void doLockAWT();

    public static native void doUnlockAWT();

    /** The component's JAWT_DrawingSurface, to be freed with {@link #doFreeDrawingSurface}. */
    public static native long doGetDrawingSurface(Component component);

    public static native void doFreeDrawingSurface(long drawingSurface);

    /** The component of a native window handle (on X11, the drawable), or null. */
    public static native Component doGetComponentFromHandle(long handle);

    /**
     * The native window handle of a drawing surface (on X11, its drawable): locks the surface,
     * reads its information and unlocks it again. 0 when the surface cannot be locked.
     */
    public static native long doGetHandle(long drawingSurface);
}
