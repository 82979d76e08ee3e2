package com.pellaro.deskara.macosx;

import com.nativio.BridgeLoader;

/**
 * Runs Java work on the application's main thread.
 *
 * <p>On macOS that is the AppKit thread with its run loop. Linux has no such thread: here the
 * main thread is the thread that serves this loop, the first one to call {@link
 * #runOneIteration} (for the life of the process; another thread calling it gets
 * IllegalStateException). {@link #runInAppKitThread} posts a runnable to the loop's queue, or
 * runs it at once when called on the main thread itself; runnables run one at a time in the
 * order they were posted. Until some thread serves the loop, posted runnables wait in the
 * queue, and so does a caller that waits for one.
 *
 * <p>A runnable that throws is reported on standard error with its stack trace; the exception
 * does not reach the loop's caller nor the poster.
 */
public final class MainMessageLoop {
    static {
        BridgeLoader.ensureLoaded();
    }

    private MainMessageLoop() {}

    /**
     * Runs {@code runnable} on the main thread; with {@code wait} 1 returns once it has run,
     * otherwise at once.
     */
    public static native void runInAppKitThread(Runnable runnable, int wait);

    /** Serves the loop once: waits for one posted runnable and runs it. */
    public static native void runOneIteration();
}
