package com.nativio.bench;

import com.sun.jna.Callback;
import com.sun.jna.CallbackReference;
import com.sun.jna.Pointer;

/**
 * JNA's Callback: C calls {@link Adder#callback} through JNA's own thunk. Compiled by upcall.sh
 * when JNA is installed and found by UpcallBench at run time.
 */
public final class JnaUpcall {
    /** The callback JNA wraps; held strongly, or JNA would free its thunk. */
    public interface Adder extends Callback {
        int callback(int a, int b);
    }

    public static final Adder ADDER = (a, b) -> a + b;

    private JnaUpcall() {}

    /** The native function pointer, or 0 when JNA is not on the class path. */
    public static long address() {
        try {
            return Pointer.nativeValue(CallbackReference.getFunctionPointer(ADDER));
        } catch (LinkageError e) {
            return 0;
        }
    }
}
