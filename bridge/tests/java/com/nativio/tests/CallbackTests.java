package com.nativio.tests;

import static com.nativio.tests.TestLibrary.call;
import static com.nativio.tests.TestLibrary.function;

import com.nativio.ArgumentBlock;
import com.nativio.Callback;
import com.nativio.CallbackFunction;
import com.nativio.CallbackInvocation;
import com.nativio.CallbackSignature;
import com.nativio.FunctionExecutionException;
import com.nativio.MemoryManager;
import com.nativio.ReturnType;
import com.nativio.ReturnType.Eightbyte;
import com.nativio.TypeCode;
import java.io.ByteArrayOutputStream;
import java.io.PrintStream;
import java.nio.ByteBuffer;
import java.nio.ByteOrder;
import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.List;
import java.util.concurrent.atomic.AtomicReference;
import java.util.function.Consumer;

/** C functions of the test library calling Java through callback thunks. */
final class CallbackTests {
    private CallbackTests() {}

    static CallbackFunction callback(CallbackSignature signature, Consumer<CallbackInvocation> body) {
        return new CallbackFunction(signature) {
            @Override
            protected void invoke(CallbackInvocation call) {
                body.accept(call);
            }
        };
    }

    static CallbackFunction adder() {
        return callback(
                new CallbackSignature(ReturnType.INT32).addInt().addInt(),
                call -> call.returnInt(call.intAt(0) + call.intAt(1)));
    }

    static int callInt(CallbackFunction cb, int a, int b) {
        return call(ReturnType.INT32)
                .addPointer(cb.address())
                .addInt(a)
                .addInt(b)
                .invoke(function("nt_call_int"))
                .resultInt();
    }

    /** Runs the action with standard error captured; gives what was written to it. */
    static String capturingStandardError(Runnable action) {
        PrintStream original = System.err;
        ByteArrayOutputStream captured = new ByteArrayOutputStream();
        System.setErr(new PrintStream(captured, true, StandardCharsets.UTF_8));
        try {
            action.run();
        } finally {
            System.setErr(original);
        }
        return captured.toString(StandardCharsets.UTF_8);
    }

    static void testScalarParametersAndResults() {
        try (CallbackFunction add = adder();
                CallbackFunction narrow =
                        callback(
                                new CallbackSignature(ReturnType.INT8).addByte().addShort(),
                                call -> call.returnInt(call.byteAt(0) + call.shortAt(1)));
                CallbackFunction wide =
                        callback(
                                new CallbackSignature(ReturnType.INT64).addLong().addPointer(),
                                call -> call.returnLong(call.longAt(0) ^ call.pointerAt(1)));
                CallbackFunction single =
                        callback(
                                new CallbackSignature(ReturnType.FLOAT).addFloat().addDouble(),
                                call -> call.returnFloat((float) (call.floatAt(0) * call.doubleAt(1))));
                CallbackFunction dbl =
                        callback(
                                new CallbackSignature(ReturnType.DOUBLE).addDouble(),
                                call -> call.returnDouble(call.doubleAt(0) / 4))) {
            Check.equal(-4, callInt(add, -7, 3), "int(int, int)");
            // -100 + 98 = -2: the 8-bit result comes back sign-correct through AL.
            Check.equal(-2, call(ReturnType.INT32).addPointer(narrow.address()).addByte((byte) -100).addShort((short) 98).invoke(function("nt_call_int8")).resultInt(), "int8(int8, int16)");
            Check.equal(0x123456789abcdef0L ^ 0x0fedcba987654321L, call(ReturnType.INT64).addPointer(wide.address()).addLong(0x123456789abcdef0L).addPointer(0x0fedcba987654321L).invoke(function("nt_call_long")).resultLong(), "long(long, pointer)");
            Check.equal(3.75f, call(ReturnType.FLOAT).addPointer(single.address()).addFloat(1.5f).addDouble(2.5).invoke(function("nt_call_float")).resultFloat(), "float(float, double)");
            Check.equal(-0.625, call(ReturnType.DOUBLE).addPointer(dbl.address()).addDouble(-2.5).invoke(function("nt_call_double")).resultDouble(), "double(double)");
        }
        long[] seen = new long[1];
        try (CallbackFunction sink =
                callback(new CallbackSignature(ReturnType.VOID).addLong(), call -> seen[0] = call.longAt(0))) {
            call(ReturnType.VOID).addPointer(sink.address()).addLong(-42).invoke(function("nt_call_void"));
        }
        Check.equal(-42, seen[0], "void(long)");
    }

    /** No thunk lies in a page that is writable and executable at once. */
    static void testThunksAreNeverInWritableAndExecutablePages() throws java.io.IOException {
        try (CallbackFunction add = adder()) {
            long thunk = add.address();
            String permissions = null;
            for (String line : java.nio.file.Files.readAllLines(java.nio.file.Path.of("/proc/self/maps"))) {
                String[] range = line.substring(0, line.indexOf(' ')).split("-");
                if (Long.compareUnsigned(Long.parseUnsignedLong(range[0], 16), thunk) <= 0
                        && Long.compareUnsigned(thunk, Long.parseUnsignedLong(range[1], 16)) < 0) {
                    permissions = line.split(" ")[1];
                }
            }
            Check.equal("r-xs", permissions, "permissions of the thunk's page");
        }
    }

    static void testArgumentsBeyondTheRegistersComeFromTheStack() {
        List<Object> seen = new ArrayList<>();
        CallbackSignature signature = new CallbackSignature(ReturnType.DOUBLE);
        for (int code : MANY_CODES) {
            if (code == TypeCode.STRUCTURE) {
                signature.addStructure(TypeCode.INT8, TypeCode.INT16, TypeCode.INT32, TypeCode.FLOAT);
            } else if (code == TypeCode.INT64) {
                signature.addLong();
            } else if (code == TypeCode.DOUBLE) {
                signature.addDouble();
            } else {
                signature.addFloat();
            }
        }
        try (CallbackFunction many =
                callback(
                        signature,
                        call -> {
                            for (int i = 0; i < signature.parameterCount(); i++) {
                                seen.add(value(call, i));
                            }
                            call.returnDouble(123.25);
                        })) {
            double result = call(ReturnType.DOUBLE).addPointer(many.address()).invoke(function("nt_call_many")).resultDouble();
            Check.equal(123.25, result, "result");
        }
        Check.equal(
                "[1, 0.5, 2, 3, 1.5, 2.25, 4, 5, 6, 7, 3.5, 4.5, 5.5, 6.5, 7.5, 8.5, 8, "
                        + "{-3, -400, 70000, 2.5}, 9.5, 9, 10.25]",
                seen.toString(),
                "parameters");
    }

    private static Object value(CallbackInvocation call, int index) {
        switch (MANY_CODES[index]) {
            case TypeCode.INT64:
                return call.longAt(index);
            case TypeCode.DOUBLE:
                return call.doubleAt(index);
            case TypeCode.FLOAT:
                return call.floatAt(index);
            default:
                return "{" + (byte) call.memberAt(index, 0) + ", " + (short) call.memberAt(index, 1)
                        + ", " + (int) call.memberAt(index, 2) + ", "
                        + Float.intBitsToFloat((int) call.memberAt(index, 3)) + "}";
        }
    }

    // The parameters of nt_call_many, in order.
    private static final int[] MANY_CODES = {
        TypeCode.INT64, TypeCode.DOUBLE, TypeCode.INT64, TypeCode.INT64, TypeCode.DOUBLE,
        TypeCode.FLOAT, TypeCode.INT64, TypeCode.INT64, TypeCode.INT64, TypeCode.INT64,
        TypeCode.DOUBLE, TypeCode.DOUBLE, TypeCode.DOUBLE, TypeCode.DOUBLE, TypeCode.DOUBLE,
        TypeCode.DOUBLE, TypeCode.INT64, TypeCode.STRUCTURE, TypeCode.DOUBLE, TypeCode.INT64,
        TypeCode.FLOAT
    };

    static void testStructureAndMemoryBlockParameters() {
        AtomicReference<String> seen = new AtomicReference<>();
        try (CallbackFunction cb =
                callback(
                        new CallbackSignature(ReturnType.INT64)
                                .addStructure(TypeCode.INT8, TypeCode.INT16, TypeCode.INT32, TypeCode.FLOAT)
                                .addMemory(32)
                                .addInt(),
                        call -> {
                            ByteBuffer big = ByteBuffer.wrap(call.memoryAt(1)).order(ByteOrder.LITTLE_ENDIAN);
                            seen.set((byte) call.memberAt(0, 0) + " " + (short) call.memberAt(0, 1)
                                    + " " + (int) call.memberAt(0, 2) + " "
                                    + Float.intBitsToFloat((int) call.memberAt(0, 3)) + " | "
                                    + big.getLong(0) + " " + big.getLong(8) + " " + big.getLong(16)
                                    + " " + big.getLong(24) + " | " + call.intAt(2));
                            call.returnLong(-1L);
                        })) {
            long result = call(ReturnType.INT64).addPointer(cb.address()).addInt(-5).invoke(function("nt_call_structures")).resultLong();
            Check.equal(-1L, result, "result");
        }
        Check.equal("-7 300 -90000 0.75 | 11 22 33 44 | -5", seen.get(), "structure and block");
    }

    /** Structure results by return kind: in memory, and the four two-register kinds. */
    static void testStructureResultsOfEveryKind() {
        Object[][] cases = {
            {"nt_call_big", ReturnType.inMemory(32), 32},
            {"nt_call_dl", ReturnType.structure(16, Eightbyte.VECTOR, Eightbyte.INTEGER), 16},
            {"nt_call_ld", ReturnType.structure(16, Eightbyte.INTEGER, Eightbyte.VECTOR), 16},
            {"nt_call_dd", ReturnType.structure(16, Eightbyte.VECTOR, Eightbyte.VECTOR), 16},
            {"nt_call_ll", ReturnType.structure(16, Eightbyte.INTEGER, Eightbyte.INTEGER), 16},
        };
        long out = MemoryManager.alloc(32);
        try {
            for (Object[] c : cases) {
                String name = (String) c[0];
                int size = (Integer) c[2];
                byte[] expected = new byte[size];
                for (int i = 0; i < size; i++) {
                    expected[i] = (byte) (i * 7 + 3);
                }
                CallbackSignature signature = new CallbackSignature((ReturnType) c[1]);
                if (name.equals("nt_call_big")) {
                    signature.addLong();
                }
                try (CallbackFunction cb = callback(signature, call -> call.returnBytes(expected))) {
                    ArgumentBlock block = call(ReturnType.VOID).addPointer(cb.address());
                    if (name.equals("nt_call_big")) {
                        block.addLong(1);
                    }
                    block.addPointer(out).invoke(function(name));
                }
                byte[] actual = new byte[size];
                MemoryManager.createBuffer(out, size).get(actual);
                Check.equal(expected, actual, name);
            }
        } finally {
            MemoryManager.free(out);
        }
    }

    static void testThreadsTheJvmHasNotSeenAreAttachedOnlyForTheCall() {
        try (CallbackFunction add = adder()) {
            for (int attachFirst = 0; attachFirst <= 1; attachFirst++) {
                long attachedAfter = MemoryManager.alloc(4);
                try {
                    int result = call(ReturnType.INT32).addPointer(add.address()).addInt(40).addInt(2)
                            .addInt(attachFirst).addPointer(attachedAfter)
                            .invoke(function("nt_call_int_on_thread")).resultInt();
                    Check.equal(42, result, "result, attached first: " + attachFirst);
                    Check.equal(attachFirst, MemoryManager.createBuffer(attachedAfter, 4)
                                    .order(ByteOrder.nativeOrder()).getInt(0),
                            "attached after the call, attached first: " + attachFirst);
                } finally {
                    MemoryManager.free(attachedAfter);
                }
            }
        }
    }

    static void testThunksCreatedAndReleasedOnManyThreads() throws InterruptedException {
        List<Thread> threads = new ArrayList<>();
        AtomicReference<Throwable> failure = new AtomicReference<>();
        for (int t = 0; t < 4; t++) {
            final int base = t * 1000;
            Thread thread = new Thread(() -> {
                try {
                    List<CallbackFunction> open = new ArrayList<>();
                    for (int i = 0; i < 300; i++) {
                        final int offset = base + i;
                        CallbackFunction cb = callback(
                                new CallbackSignature(ReturnType.INT32).addInt().addInt(),
                                call -> call.returnInt(call.intAt(0) + call.intAt(1) + offset));
                        open.add(cb);
                        Check.equal(offset + 3, callInt(cb, 1, 2), "thunk " + offset);
                        if (i % 3 == 2) {
                            open.remove(0).close();
                        }
                    }
                    for (CallbackFunction cb : open) {
                        cb.close();
                    }
                } catch (Throwable e) {
                    failure.compareAndSet(null, e);
                }
            });
            threads.add(thread);
            thread.start();
        }
        for (Thread thread : threads) {
            thread.join();
        }
        if (failure.get() != null) {
            throw new AssertionError("a thread failed", failure.get());
        }
    }

    static Object nothing;

    /**
     * A callback inside invokeCFunc whose compiled Java code takes the JVM's own fault path for
     * a null check many times over: the fault reaches the JVM, not the call's guard.
     */
    static void testJvmFaultsInsideCallbacksReachTheJvm() {
        int[] caught = new int[1];
        try (CallbackFunction cb =
                callback(
                        new CallbackSignature(ReturnType.INT32).addInt().addInt(),
                        call -> {
                            try {
                                caught[0] += nothing.hashCode();
                            } catch (NullPointerException e) {
                                caught[0]++;
                            }
                            call.returnInt(call.intAt(0) * call.intAt(1));
                        })) {
            for (int i = 0; i < 30000; i++) {
                Check.equal(6L * i, callInt(cb, 6, i), "product");
            }
        }
        Check.equal(30000, caught[0], "null pointer exceptions caught");
    }

    static void testThrowingCallbackIsReportedAndGivesZero() {
        try (CallbackFunction cb =
                callback(
                        new CallbackSignature(ReturnType.INT32).addInt().addInt(),
                        call -> {
                            throw new IllegalStateException("thrown in a callback");
                        })) {
            int[] result = {-1};
            String report = capturingStandardError(() -> result[0] = callInt(cb, 1, 2));
            Check.equal(0, result[0], "result after the exception");
            Check.isTrue(report.contains("IllegalStateException: thrown in a callback"), "report: " + report);
            Check.isTrue(report.contains("\tat "), "stack trace in: " + report);
            Check.equal(7, callInt(adderKept(), 3, 4), "the bridge still works");
        }
    }

    private static CallbackFunction kept;

    private static CallbackFunction adderKept() {
        if (kept == null) {
            kept = adder();
        }
        return kept;
    }

    /** Any object with the three methods can be called back; a missing record is refused. */
    public static final class NoMetaRecord {
        public int getParametersLength() {
            return 16;
        }

        public long getCallbackMetaInfo() {
            return 0;
        }

        public long enterPoint(long buffer, int length) {
            throw new AssertionError("never entered");
        }
    }

    static void testCallbackWithoutMetaRecordIsRefused() {
        long thunk = Callback.createNativeFunctionInstance(new NoMetaRecord());
        try {
            int[] result = {-1};
            String report = capturingStandardError(() -> result[0] = call(ReturnType.INT32)
                    .addPointer(thunk).addInt(1).addInt(2).invoke(function("nt_call_int")).resultInt());
            Check.equal(0, result[0], "result");
            Check.isTrue(report.contains(FunctionExecutionException.class.getName()
                    + ": Callback parameter types or their count are not correct"), "report: " + report);
        } finally {
            Callback.releaseNativeFunctionInstance(thunk);
        }
        Check.raises(IllegalArgumentException.class, null, () -> Callback.releaseNativeFunctionInstance(thunk));
        Check.raises(NullPointerException.class, null, () -> Callback.createNativeFunctionInstance(null));
    }
}
