import java.lang.foreign.Arena;
import java.lang.foreign.FunctionDescriptor;
import java.lang.foreign.Linker;
import java.lang.foreign.SymbolLookup;
import java.lang.foreign.ValueLayout;
import java.lang.invoke.MethodHandle;

/** add() through the Foreign Function API; compiled by bridge.sh with the newest JDK. */
public final class FfmBench {
    private static final int WARM_UP = 2_000_000;
    private static final int CALLS = 10_000_000;
    private static final int ROUNDS = 3;

    public static void main(String[] args) throws Throwable {
        SymbolLookup lookup = SymbolLookup.libraryLookup(args[0], Arena.global());
        MethodHandle add =
                Linker.nativeLinker()
                        .downcallHandle(
                                lookup.find("add").orElseThrow(),
                                FunctionDescriptor.of(
                                        ValueLayout.JAVA_INT, ValueLayout.JAVA_INT, ValueLayout.JAVA_INT));
        double best = Double.MAX_VALUE;
        for (int round = 0; round < ROUNDS; round++) {
            int sum = 0;
            for (int i = 0; i < WARM_UP; i++) {
                sum += (int) add.invokeExact(i, 1);
            }
            long start = System.nanoTime();
            for (int i = 0; i < CALLS; i++) {
                sum += (int) add.invokeExact(i, 1);
            }
            best = Math.min(best, (double) (System.nanoTime() - start) / CALLS);
            if (sum == 42) {
                System.out.print("");
            }
        }
        System.out.printf("ffm %.2f%n", best);
    }
}
