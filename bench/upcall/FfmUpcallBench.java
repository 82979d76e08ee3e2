import java.lang.foreign.Arena;
import java.lang.foreign.FunctionDescriptor;
import java.lang.foreign.Linker;
import java.lang.foreign.MemorySegment;
import java.lang.foreign.SymbolLookup;
import java.lang.foreign.ValueLayout;
import java.lang.invoke.MethodHandle;
import java.lang.invoke.MethodHandles;
import java.lang.invoke.MethodType;

/**
 * The Foreign Function API's upcall stub on the newest JDK: C calls cb on a native thread
 * attached to the JVM for the run. Prints "ffm-attached NANOSECONDS_PER_CALL", best of 3.
 */
public final class FfmUpcallBench {
    private static final int CALLS = 1_000_000;

    static int cb(int a, int b) {
        return a + b;
    }

    public static void main(String[] args) throws Throwable {
        Linker linker = Linker.nativeLinker();
        try (Arena arena = Arena.ofConfined()) {
            SymbolLookup library = SymbolLookup.libraryLookup(args[0], arena);
            MethodHandle run = linker.downcallHandle(
                    library.find("upcall_bench_run").orElseThrow(),
                    FunctionDescriptor.of(ValueLayout.JAVA_LONG, ValueLayout.ADDRESS,
                            ValueLayout.JAVA_INT, ValueLayout.JAVA_INT, ValueLayout.JAVA_INT));
            MethodHandle target = MethodHandles.lookup().findStatic(FfmUpcallBench.class, "cb",
                    MethodType.methodType(int.class, int.class, int.class));
            FunctionDescriptor callback = FunctionDescriptor.of(
                    ValueLayout.JAVA_INT, ValueLayout.JAVA_INT, ValueLayout.JAVA_INT);
            MemorySegment stub = linker.upcallStub(target, callback, arena);
            double best = Double.MAX_VALUE;
            for (int round = 0; round < 3; round++) {
                long nanoseconds = (long) run.invokeExact(stub, CALLS / 5, CALLS, 1);
                best = Math.min(best, (double) nanoseconds / CALLS);
            }
            System.out.printf("ffm-attached %.1f%n", best);
        }
    }
}
