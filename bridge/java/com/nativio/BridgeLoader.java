package com.nativio;

/**
 * Loads libnativio once. The system property "nativio.library" may name the library file;
 * otherwise it is looked up on java.library.path.
 */
public final class BridgeLoader {
    static {
        String file = System.getProperty("nativio.library");
        if (file != null && !file.isEmpty()) {
            System.load(file);
        } else {
            System.loadLibrary("nativio");
        }
    }

    private BridgeLoader() {}

    public static void ensureLoaded() {
        // Loading happens in the class initializer above.
    }
}
