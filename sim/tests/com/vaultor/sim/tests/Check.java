package com.vaultor.sim.tests;

import java.util.Arrays;
import java.util.HexFormat;
import java.util.Objects;

/** Assertions that say what was expected and what came instead. */
final class Check {
    private Check() {}

    static void equal(Object expected, Object actual, String what) {
        if (!Objects.equals(expected, actual)) {
            throw new AssertionError(what + ": expected <" + expected + "> but was <" + actual + ">");
        }
    }

    static void bytes(byte[] expected, byte[] actual, String what) {
        if (!Arrays.equals(expected, actual)) {
            throw new AssertionError(what + ":\n  expected " + HexFormat.of().formatHex(expected)
                    + "\n  but was  " + HexFormat.of().formatHex(actual));
        }
    }

    static void isTrue(boolean condition, String what) {
        if (!condition) {
            throw new AssertionError(what);
        }
    }

    static <T extends Throwable> T raises(Class<T> type, ThrowingRunnable action, String what) {
        try {
            action.run();
        } catch (Throwable thrown) {
            if (type.isInstance(thrown)) {
                return type.cast(thrown);
            }
            throw new AssertionError(what + ": expected " + type.getSimpleName() + " but got " + thrown, thrown);
        }
        throw new AssertionError(what + ": expected " + type.getSimpleName() + " but nothing was thrown");
    }

    /** A block that may throw anything. */
    interface ThrowingRunnable {
        void run() throws Exception;
    }
}
