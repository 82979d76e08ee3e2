package com.nativio.bench;

import com.nativio.ArgumentBlock;
import com.nativio.CallbackFunction;
import com.nativio.CallbackInvocation;
import com.nativio.CallbackSignature;
import com.nativio.Function;
import com.nativio.Library;
import com.nativio.ReturnType;

/**
 * C calls a Java int cb(int, int) from a native thread through each peer and prints one line per
 * peer: "NAME NANOSECONDS_PER_CALL". The "-attached" peers run on a thread attached to the JVM
 * for the whole run, the "-detached" ones on a thread the JVM does not know, so that every call
 * attaches and detaches it. Each peer runs a few rounds, interleaved with the others, and its
 * best round counts.
 */
public final class UpcallBench {
    private static final int ATTACHED_CALLS = 1_000_000;
    private static final int DETACHED_CALLS = 20_000;
    private static final int ROUNDS = 3;

    private UpcallBench() {}

    static final class Adder extends CallbackFunction {
        Adder() {
            super(new CallbackSignature(ReturnType.INT32).addInt().addInt());
        }

        @Override
        protected void invoke(CallbackInvocation call) {
            call.returnInt(call.intAt(0) + call.intAt(1));
        }
    }

    /** JNA's thunk, or 0 when JNA (and the class upcall.sh compiles for it) is missing. */
    private static long jnaAddress() {
        try {
            return (long)
                    Class.forName("com.nativio.bench.JnaUpcall").getMethod("address").invoke(null);
        } catch (ReflectiveOperationException | LinkageError e) {
            return 0;
        }
    }

    public static void main(String[] args) {
        String library = args[0];
        System.load(library);
        long run = Function.loadFunc(Library.load(library), "upcall_bench_run");
        try (Adder ours = new Adder()) {
            long jna = jnaAddress();
            String[] names = {
                "nativio-attached", "jni-attached", "jna-attached",
                "nativio-detached", "jna-detached"
            };
            long[] functions = {ours.address(), JniUpcall.prepare(), jna, ours.address(), jna};
            boolean[] attached = {true, true, true, false, false};
            double[] best = new double[names.length];
            java.util.Arrays.fill(best, Double.MAX_VALUE);
            for (int round = 0; round < ROUNDS; round++) {
                for (int p = 0; p < names.length; p++) {
                    if (functions[p] == 0) {
                        continue;
                    }
                    int calls = attached[p] ? ATTACHED_CALLS : DETACHED_CALLS;
                    long nanoseconds = new ArgumentBlock(ReturnType.INT64)
                            .addPointer(functions[p])
                            .addInt(calls / 5)
                            .addInt(calls)
                            .addInt(attached[p] ? 1 : 0)
                            .invoke(run)
                            .resultLong();
                    if (nanoseconds < 0) {
                        throw new IllegalStateException(names[p] + ": the native thread failed");
                    }
                    best[p] = Math.min(best[p], (double) nanoseconds / calls);
                }
            }
            for (int p = 0; p < names.length; p++) {
                if (functions[p] != 0) {
                    System.out.printf("%s %.1f%n", names[p], best[p]);
                }
            }
        }
    }
}
