package com.nativio.bench;

/** add() through JNA's direct mapping; registered at run time when JNA is on the class path. */
final class JnaAdd {
    private JnaAdd() {}

    static native int add(int a, int b);

    /** Binds the native method to the library's add; false when JNA is not available. */
    static boolean register(String library) {
        try {
            Class.forName("com.sun.jna.Native")
                    .getMethod("register", Class.class, String.class)
                    .invoke(null, JnaAdd.class, library);
            return true;
        } catch (ReflectiveOperationException | LinkageError e) {
            return false;
        }
    }
}
