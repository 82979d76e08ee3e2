package com.nativio.tests;

import static com.nativio.tests.TestLibrary.call;
import static com.nativio.tests.TestLibrary.function;

import com.nativio.FunctionExecutionException;
import com.nativio.ReturnType;
import java.io.File;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.util.ArrayList;
import java.util.Collections;
import java.util.List;
import java.util.concurrent.CountDownLatch;
import java.util.concurrent.TimeUnit;

/**
 * Faults inside foreign code become Java exceptions; the JVM lives on and its own use of the
 * same signals (implicit null checks, division by zero, stack banging) keeps working.
 */
final class FaultTests {
    private static final String SEGV = "0000000b";
    private static final String FPE = "00000008";

    private FaultTests() {}

    static void testInvalidMemoryAccessBecomesException() {
        for (int round = 0; round < 3; round++) {
            Check.raises(FunctionExecutionException.class, SEGV,
                    () -> call(ReturnType.INT32).addPointer(0x10).invoke(function("nt_deref")));
            Check.equal(5, call(ReturnType.INT32).addInt(2).addInt(3).invoke(function("nt_add")).resultInt(), "next call after a fault");
        }
    }

    static void testDivisionByZeroBecomesException() {
        for (int round = 0; round < 3; round++) {
            Check.raises(FunctionExecutionException.class, FPE,
                    () -> call(ReturnType.INT32).addInt(1).addInt(0).invoke(function("nt_divide")));
            Check.equal(3, call(ReturnType.INT32).addInt(7).addInt(2).invoke(function("nt_divide")).resultInt(), "next call after a fault");
        }
    }

    /** The fault report goes to standard error: the signal, then the argument block as words. */
    static void testFaultIsReportedOnStandardError() throws IOException, InterruptedException {
        File err = File.createTempFile("nativio-fault", ".err");
        File out = File.createTempFile("nativio-fault", ".out");
        try {
            Process probe =
                    new ProcessBuilder(
                                    new File(System.getProperty("java.home"), "bin/java").getPath(),
                                    "-Dnativio.library=" + System.getProperty("nativio.library"),
                                    "-Dnativio.testlib=" + System.getProperty("nativio.testlib"),
                                    "-cp",
                                    System.getProperty("java.class.path"),
                                    FaultReportProbe.class.getName())
                            .redirectError(err)
                            .redirectOutput(out)
                            .start();
            Check.isTrue(probe.waitFor(120, TimeUnit.SECONDS), "probe finished");
            Check.equal(0, probe.exitValue(), "probe exit status");
            String report = Files.readString(err.toPath(), StandardCharsets.UTF_8);
            Check.isTrue(
                    report.contains(
                            "signal 11 occured at 10\n"
                                    + "Native function stack data: 00000000,00000001,00000000,"
                                    + "00000000,00000000,00000010,00000000\n"),
                    "report: " + report);
            Check.equal(
                    "exception: " + SEGV + "\n",
                    Files.readString(out.toPath(), StandardCharsets.UTF_8),
                    "probe output");
        } finally {
            err.delete();
            out.delete();
        }
    }

    static void testDeepRecursionIsCaughtOnTheAlternateStack() throws InterruptedException {
        List<Throwable> errors = Collections.synchronizedList(new ArrayList<>());
        Thread deep = new Thread(null, () -> {
            try {
                for (int round = 0; round < 2; round++) {
                    Check.raises(FunctionExecutionException.class, SEGV,
                            () -> call(ReturnType.INT32).addInt(0).invoke(function("nt_recurse")));
                }
                Check.equal(5, call(ReturnType.INT32).addInt(2).addInt(3).invoke(function("nt_add")).resultInt(), "call after the overflow");
            } catch (Throwable e) {
                errors.add(e);
            }
        }, "deep", 1 << 20);
        deep.start();
        deep.join(TimeUnit.SECONDS.toMillis(120));
        Check.isTrue(!deep.isAlive(), "recursion thread finished");
        Check.isTrue(errors.isEmpty(), "errors: " + errors);
    }

    static void testFaultsOnManyThreadsAtOnce() throws InterruptedException {
        int threads = 6;
        List<Throwable> errors = Collections.synchronizedList(new ArrayList<>());
        CountDownLatch done = new CountDownLatch(threads);
        for (int t = 0; t < threads; t++) {
            int id = t;
            new Thread(() -> {
                try {
                    for (int round = 0; round < 300; round++) {
                        int n = round;
                        if ((n + id) % 3 == 0) {
                            Check.raises(FunctionExecutionException.class, SEGV,
                                    () -> call(ReturnType.INT32).addPointer(8).invoke(function("nt_deref")));
                        } else if ((n + id) % 3 == 1) {
                            Check.raises(FunctionExecutionException.class, FPE,
                                    () -> call(ReturnType.INT32).addInt(n).addInt(0).invoke(function("nt_divide")));
                        } else {
                            Check.equal(n + id, call(ReturnType.INT32).addInt(n).addInt(id).invoke(function("nt_add")).resultInt(), "good call");
                        }
                    }
                } catch (Throwable e) {
                    errors.add(e);
                } finally {
                    done.countDown();
                }
            }).start();
        }
        Check.isTrue(done.await(240, TimeUnit.SECONDS), "threads finished");
        Check.isTrue(errors.isEmpty(), "errors on threads: " + errors);
    }

    /** Runs after the faults above, on a thread that has used the bridge and on a fresh one. */
    static void testJvmSignalHandlingStillWorks() throws InterruptedException {
        call(ReturnType.INT32).addInt(1).addInt(2).invoke(function("nt_add"));
        exerciseJvmSignals();
        List<Throwable> errors = Collections.synchronizedList(new ArrayList<>());
        Thread fresh = new Thread(() -> {
            try {
                exerciseJvmSignals();
            } catch (Throwable e) {
                errors.add(e);
            }
        });
        fresh.start();
        fresh.join(TimeUnit.SECONDS.toMillis(120));
        Check.isTrue(!fresh.isAlive() && errors.isEmpty(), "fresh thread: " + errors);
    }

    private static final class Holder {
        int value = 1;
    }

    private static int read(Holder holder) {
        return holder.value;
    }

    private static int divide(int a, int b) {
        return a / b;
    }

    private static int depth(int n) {
        return depth(n + 1) + 1;
    }

    // Hot loops first so the compiled code relies on implicit checks, then the faulting inputs.
    private static void exerciseJvmSignals() {
        Holder holder = new Holder();
        long sum = 0;
        for (int i = 0; i < 300_000; i++) {
            sum += read(holder) + divide(i, 7);
        }
        Check.isTrue(sum > 0, "warm-up");
        int nullPointers = 0;
        int divisions = 0;
        for (int i = 0; i < 200; i++) {
            try {
                read(null);
            } catch (NullPointerException e) {
                nullPointers++;
            }
            try {
                divide(i, 0);
            } catch (ArithmeticException e) {
                divisions++;
            }
        }
        Check.equal(200, nullPointers, "null pointer exceptions");
        Check.equal(200, divisions, "arithmetic exceptions");
        for (int i = 0; i < 3; i++) {
            try {
                depth(0);
                throw new AssertionError("recursion ended");
            } catch (StackOverflowError expected) {
                // the JVM's stack banging still reaches its own handler
            }
        }
    }
}
