package com.nativio.bench;

import com.nativio.ArgumentBlock;
import com.nativio.Function;
import com.nativio.Library;
import com.nativio.ReturnType;
import java.lang.invoke.MethodHandles;
import java.lang.invoke.VarHandle;
import java.nio.ByteOrder;
import java.util.function.IntBinaryOperator;

/**
 * Calls int add(int, int) many times through each peer and prints one line per peer (the peer
 * "jni-byte-array" is the floor of any byte-array protocol: a JNI function that only copies a
 * block in and its result out):
 * "NAME NANOSECONDS_PER_CALL". Each peer is measured a few times, interleaved with the others,
 * and its best round counts, so a burst of load on a shared machine hurts no peer alone.
 */
public final class BridgeBench {
    private static final int WARM_UP = 2_000_000;
    private static final int CALLS = 10_000_000;
    private static final int ROUNDS = 3;
    private static final VarHandle INT =
            MethodHandles.byteArrayViewVarHandle(int[].class, ByteOrder.LITTLE_ENDIAN);

    private BridgeBench() {}

    public static void main(String[] args) {
        String library = args[0];
        System.load(library);
        long add = Function.loadFunc(Library.load(library), "add");
        ArgumentBlock reused = new ArgumentBlock(ReturnType.INT32);
        IntBinaryOperator bridge = (a, b) -> reused.reset().addInt(a).addInt(b).invoke(add).resultInt();
        IntBinaryOperator bridgeFresh =
                (a, b) -> new ArgumentBlock(ReturnType.INT32).addInt(a).addInt(b).invoke(add).resultInt();
        byte[] block = new byte[12];
        IntBinaryOperator arrayFloor =
                (a, b) -> {
                    INT.set(block, 4, a);
                    INT.set(block, 8, b);
                    JniAdd.addThroughArray(block, block.length);
                    return (int) INT.get(block, 0);
                };
        boolean jna = JnaAdd.register(library);

        String[] names = {"nativio", "nativio-fresh-block", "jni", "jni-byte-array", "jna-direct"};
        IntBinaryOperator[] peers = {
            bridge, bridgeFresh, JniAdd::add, arrayFloor, jna ? JnaAdd::add : null
        };
        double[] best = new double[names.length];
        java.util.Arrays.fill(best, Double.MAX_VALUE);
        for (int round = 0; round < ROUNDS; round++) {
            for (int p = 0; p < peers.length; p++) {
                if (peers[p] != null) {
                    best[p] = Math.min(best[p], measure(peers[p]));
                }
            }
        }
        for (int p = 0; p < peers.length; p++) {
            if (peers[p] != null) {
                System.out.printf("%s %.2f%n", names[p], best[p]);
            }
        }
    }

    static double measure(IntBinaryOperator peer) {
        int sum = 0;
        for (int i = 0; i < WARM_UP; i++) {
            sum += peer.applyAsInt(i, 1);
        }
        long start = System.nanoTime();
        for (int i = 0; i < CALLS; i++) {
            sum += peer.applyAsInt(i, 1);
        }
        long elapsed = System.nanoTime() - start;
        if (sum == 42) {
            System.out.print("");
        }
        return (double) elapsed / CALLS;
    }
}
