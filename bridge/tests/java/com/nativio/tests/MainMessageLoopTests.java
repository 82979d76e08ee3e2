package com.nativio.tests;

import com.pellaro.deskara.macosx.MainMessageLoop;
import java.util.ArrayList;
import java.util.List;
import java.util.concurrent.CountDownLatch;
import java.util.concurrent.atomic.AtomicReference;

/** Work posted to the main message loop, which a thread of its own serves here. */
final class MainMessageLoopTests {
    private MainMessageLoopTests() {}

    static void testRunnablesRunOnTheThreadServingTheLoop() throws InterruptedException {
        List<String> ran = new ArrayList<>();
        boolean[] stop = {false};
        AtomicReference<Throwable> failure = new AtomicReference<>();
        Thread loop = new Thread(() -> {
            try {
                while (!stop[0]) {
                    MainMessageLoop.runOneIteration();
                }
            } catch (Throwable e) {
                failure.set(e);
            }
        }, "main-loop");
        loop.start();

        // Waiting: the runnable has run when the call returns, on the loop's thread; a
        // runnable posted from there runs at once, inline.
        MainMessageLoop.runInAppKitThread(() -> {
            ran.add("waited on " + Thread.currentThread().getName());
            MainMessageLoop.runInAppKitThread(() -> ran.add("inline"), 0);
            ran.add("after inline");
        }, 1);
        Check.equal("[waited on main-loop, inline, after inline]", ran.toString(), "waited");

        // Not waiting: returns at once; the runnables run later, in order.
        CountDownLatch later = new CountDownLatch(3);
        for (int i = 0; i < 3; i++) {
            final int n = i;
            MainMessageLoop.runInAppKitThread(() -> {
                synchronized (ran) {
                    ran.add("later " + n);
                }
                later.countDown();
            }, 0);
        }
        later.await();
        synchronized (ran) {
            Check.equal("[waited on main-loop, inline, after inline, later 0, later 1, later 2]", ran.toString(), "in order");
        }

        // A runnable that throws is reported; the loop goes on.
        String report = CallbackTests.capturingStandardError(() ->
                MainMessageLoop.runInAppKitThread(() -> {
                    throw new IllegalStateException("thrown on the main loop");
                }, 1));
        Check.isTrue(report.contains("IllegalStateException: thrown on the main loop"), "report: " + report);

        // Only the main thread serves the loop.
        Check.raises(IllegalStateException.class, null, MainMessageLoop::runOneIteration);
        Check.raises(NullPointerException.class, null, () -> MainMessageLoop.runInAppKitThread(null, 1));

        MainMessageLoop.runInAppKitThread(() -> stop[0] = true, 1);
        loop.join();
        if (failure.get() != null) {
            throw new AssertionError("the loop failed", failure.get());
        }
    }
}
