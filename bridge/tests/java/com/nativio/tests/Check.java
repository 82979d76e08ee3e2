package com.nativio.tests;

import java.util.Arrays;

/** Assertions of the bridge tests. */
final class Check {
    private Check() {}

    static void equal(long expected, long actual, String what) {
        if (expected != actual) {
            throw new AssertionError(what + ": expected " + expected + ", got " + actual);
        }
    }

    static void equal(double expected, double actual, String what) {
        if (Double.compare(expected, actual) != 0) {
            throw new AssertionError(what + ": expected " + expected + ", got " + actual);
        }
    }

    static void equal(Object expected, Object actual, String what) {
        if (!expected.equals(actual)) {
            throw new AssertionError(what + ": expected " + expected + ", got " + actual);
        }
    }

    static void equal(byte[] expected, byte[] actual, String what) {
        if (!Arrays.equals(expected, actual)) {
            throw new AssertionError(
                    what
                            + ": expected "
                            + Arrays.toString(expected)
                            + ", got "
                            + Arrays.toString(actual));
        }
    }

    static void isTrue(boolean condition, String what) {
        if (!condition) {
            throw new AssertionError(what);
        }
    }

    /** Runs the action and checks that it throws exactly {@code type} with {@code message}. */
    static void raises(Class<?> type, String message, Runnable action) {
        try {
            action.run();
        } catch (RuntimeException e) {
            if (e.getClass() != type) {
                throw new AssertionError("expected " + type.getName() + ", got " + e, e);
            }
            if (message != null && !message.equals(e.getMessage())) {
                throw new AssertionError(
                        "expected message \"" + message + "\", got \"" + e.getMessage() + "\"");
            }
            return;
        }
        throw new AssertionError("expected " + type.getName() + ", nothing thrown");
    }
}
