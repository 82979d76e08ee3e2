package com.nativio.tests;

import static com.nativio.tests.TestLibrary.call;
import static com.nativio.tests.TestLibrary.function;

import com.nativio.ArgumentBlock;
import com.nativio.Function;
import com.nativio.FunctionExecutionException;
import com.nativio.Library;
import com.nativio.LibraryNotFoundException;
import com.nativio.MemoryAccessViolationException;
import com.nativio.NoSuchFunctionException;
import com.nativio.NoSuchVariableException;
import com.nativio.PlatformContext;
import com.nativio.ReturnType;
import com.nativio.ReturnType.Eightbyte;
import com.nativio.Structure;
import java.nio.ByteBuffer;
import java.nio.ByteOrder;
import java.util.ArrayList;
import java.util.Collections;
import java.util.List;
import java.util.concurrent.CountDownLatch;
import java.util.concurrent.TimeUnit;

/** Calls into the C test library through the bridge, one group per calling-convention rule. */
final class BridgeTests {
    private static final String MALFORMED = "Parameter types or their count are not correct";

    private BridgeTests() {}

    static void testIntegersPointersAndSignExtension() {
        Check.equal(5, call(ReturnType.INT32).addInt(2).addInt(3).invoke(function("nt_add")).resultInt(), "add");
        Check.equal(-4, call(ReturnType.INT32).addInt(-7).addInt(3).invoke(function("nt_add")).resultInt(), "add negative");
        Check.equal(-5, call(ReturnType.INT32).addByte((byte) -5).invoke(function("nt_widen8")).resultInt(), "8-bit argument");
        Check.equal(-300, call(ReturnType.INT32).addShort((short) -300).invoke(function("nt_widen16")).resultInt(), "16-bit argument");
        // A 32-bit argument reaches a 64-bit parameter sign-extended.
        Check.equal(-7, call(ReturnType.INT64).addInt(-7).invoke(function("nt_long_identity")).resultLong(), "32-bit widened");
        Check.equal(Long.MIN_VALUE, call(ReturnType.INT64).addLong(Long.MAX_VALUE).addLong(1).invoke(function("nt_add64")).resultLong(), "64-bit wrap");
        Check.equal(0x123456789abcdef0L, call(ReturnType.POINTER).addPointer(0x123456789abcdef0L).invoke(function("nt_pointer_identity")).resultLong(), "pointer");

        ArgumentBlock narrow8 = call(ReturnType.INT8).addInt(0x1ff).invoke(function("nt_narrow8"));
        Check.equal(-1, narrow8.resultByte(), "8-bit result");
        Check.equal(1, narrow8.resultBytes().length, "8-bit result size");
        Check.equal((byte) 200, call(ReturnType.INT8).addInt(200).invoke(function("nt_unsigned8")).resultByte(), "unsigned 8-bit result");
        ArgumentBlock narrow16 = call(ReturnType.INT16).addInt(0x18000).invoke(function("nt_narrow16"));
        Check.equal(Short.MIN_VALUE, narrow16.resultShort(), "16-bit result");
        Check.equal(2, narrow16.resultBytes().length, "16-bit result size");
    }

    static void testFloatAndDouble() {
        Check.equal(1.5f, call(ReturnType.FLOAT).addFloat(3.0f).invoke(function("nt_half_float")).resultFloat(), "float");
        Check.equal(2.5, call(ReturnType.DOUBLE).addDouble(5.0).invoke(function("nt_half_double")).resultDouble(), "double");
        Check.equal(3.75, call(ReturnType.DOUBLE).addFloat(1.5f).addDouble(2.25).invoke(function("nt_float_plus_double")).resultDouble(), "float and double");
    }

    static void testRegisterExhaustionSpillsToStack() {
        ArgumentBlock seven = call(ReturnType.INT64);
        for (int i = 1; i <= 7; i++) {
            seven.addLong(i);
        }
        Check.equal(140, seven.invoke(function("nt_sum7")).resultLong(), "seventh integer on the stack");

        ArgumentBlock nine = call(ReturnType.DOUBLE);
        for (int i = 1; i <= 9; i++) {
            nine.addDouble(i * 0.5);
        }
        Check.equal(142.5, nine.invoke(function("nt_sum9")).resultDouble(), "ninth double on the stack");
    }

    static void testInterleavedIntegersAndVectors() {
        ArgumentBlock block = call(ReturnType.DOUBLE);
        double expected = 0;
        for (int i = 1; i <= 19; i++) {
            double value;
            if (i == 4 || i == 17) {
                block.addFloat(i + 0.5f);
                value = i + 0.5;
            } else if (i % 2 == 0) {
                block.addDouble(i + 0.25);
                value = i + 0.25;
            } else if (i % 4 == 1) {
                block.addInt(-i);
                value = -i;
            } else {
                block.addLong(-i * 3L);
                value = -i * 3L;
            }
            expected += i * value;
        }
        Check.equal(expected, block.invoke(function("nt_mixed")).resultDouble(), "interleaved");
    }

    static void testStructuresByValue() {
        Structure packed = new Structure().int8((byte) -1).int8((byte) 2).int16((short) -300).int32(70000);
        Check.equal(69970019L, call(ReturnType.INT64).addStructure(packed).invoke(function("nt_packed")).resultLong(), "small members packed into one unit");

        Structure padded = new Structure().int8((byte) 3).int32(-4).int16((short) 5).int64(6);
        Check.equal(6463L, call(ReturnType.INT64).addStructure(padded).invoke(function("nt_padded")).resultLong(), "aligned members, passed in memory");

        Structure floats = new Structure().float32(1.5f).float32(2.25f);
        Check.equal(12.0, call(ReturnType.DOUBLE).addStructure(floats).addDouble(2.0).invoke(function("nt_two_floats")).resultDouble(), "two floats in one vector register");

        Structure intFloat = new Structure().int32(7).float32(0.5f);
        Check.equal(11.0, call(ReturnType.DOUBLE).addStructure(intFloat).addDouble(1.0).invoke(function("nt_int_float")).resultDouble(), "int and float share an integer register");

        Structure doubleLong = new Structure().float64(1.5).int64(4);
        Check.equal(24.5, call(ReturnType.DOUBLE).addStructure(doubleLong).addLong(5).invoke(function("nt_double_long")).resultDouble(), "vector then integer eightbyte");

        ArgumentBlock spill = call(ReturnType.INT64);
        for (int i = 1; i <= 5; i++) {
            spill.addLong(i);
        }
        spill.addStructure(new Structure().int64(6).int64(7)).addLong(8);
        Check.equal(204L, spill.invoke(function("nt_pair_spill")).resultLong(), "structure goes to the stack whole");

        Structure triple = new Structure().int64(1).int64(2).int64(3);
        Check.equal(30L, call(ReturnType.INT64).addStructure(triple).addInt(4).invoke(function("nt_triple")).resultLong(), "large structure in memory");
    }

    static void testMemoryBlockByValue() {
        ArgumentBlock block = call(ReturnType.INT64);
        for (int i = 0; i < 6; i++) {
            block.addLong(1);
        }
        byte[] memory = new byte[20];
        for (int i = 0; i < memory.length; i++) {
            memory[i] = (byte) (i + 1);
        }
        block.addMemory(memory).addLong(9);
        Check.equal(2870L + 9000L + 6L, block.invoke(function("nt_bytes20")).resultLong(), "memory block, then the next slot");
    }

    static void testReturnsInRegisterPairsAndMemory() {
        ByteBuffer vi = result(call(ReturnType.structure(16, Eightbyte.VECTOR, Eightbyte.INTEGER)).addDouble(2.5).addLong(-9).invoke(function("nt_ret_vector_integer")));
        Check.equal(2.5, vi.getDouble(0), "vector, integer: first");
        Check.equal(-9L, vi.getLong(8), "vector, integer: second");

        ByteBuffer iv = result(call(ReturnType.structure(16, Eightbyte.INTEGER, Eightbyte.VECTOR)).addLong(-9).addDouble(2.5).invoke(function("nt_ret_integer_vector")));
        Check.equal(-9L, iv.getLong(0), "integer, vector: first");
        Check.equal(2.5, iv.getDouble(8), "integer, vector: second");

        ByteBuffer vv = result(call(ReturnType.structure(16, Eightbyte.VECTOR, Eightbyte.VECTOR)).addDouble(1.25).addDouble(-3.5).invoke(function("nt_ret_two_doubles")));
        Check.equal(1.25, vv.getDouble(0), "two doubles: first");
        Check.equal(-3.5, vv.getDouble(8), "two doubles: second");

        ByteBuffer fff = result(call(ReturnType.structure(12, Eightbyte.VECTOR, Eightbyte.VECTOR)).addFloat(1f).addFloat(2f).addFloat(3f).invoke(function("nt_ret_three_floats")));
        Check.equal(12, fff.capacity(), "three floats: size");
        Check.equal(3.0, fff.getFloat(8), "three floats: third");
        Check.equal(2.0, fff.getFloat(4), "three floats: second");

        ByteBuffer ii = result(call(ReturnType.structure(16, Eightbyte.INTEGER, Eightbyte.INTEGER)).addLong(Long.MIN_VALUE).addLong(77).invoke(function("nt_ret_long_pair")));
        Check.equal(Long.MIN_VALUE, ii.getLong(0), "integer pair: first");
        Check.equal(77L, ii.getLong(8), "integer pair: second");

        ByteBuffer ff = result(call(ReturnType.structure(8, Eightbyte.VECTOR)).addFloat(0.5f).addFloat(-8f).invoke(function("nt_ret_two_floats")));
        Check.equal(-8.0, ff.getFloat(4), "two floats in one register");
        ByteBuffer ip = result(call(ReturnType.structure(8, Eightbyte.INTEGER)).addInt(-1).addInt(5).invoke(function("nt_ret_int_pair")));
        Check.equal(-1, ip.getInt(0), "int pair: first");
        Check.equal(5, ip.getInt(4), "int pair: second");

        ByteBuffer quad = result(call(ReturnType.inMemory(32)).addLong(1).addLong(2).addLong(3).addLong(-4).invoke(function("nt_ret_quad")));
        Check.equal(1L, quad.getLong(0), "hidden pointer: first");
        Check.equal(-4L, quad.getLong(24), "hidden pointer: last");
    }

    static void testVariadicCallee() {
        long libc = Library.load("libc.so.6");
        long buffer = TestLibrary.pointer("nt_scratch");
        int written =
                call(ReturnType.INT32)
                        .addPointer(buffer)
                        .addLong(512)
                        .addPointer(TestLibrary.pointer("nt_format"))
                        .addInt(42)
                        .addLong(-1234567890123L)
                        .addDouble(3.14159)
                        .addPointer(TestLibrary.pointer("nt_word"))
                        .addInt('Z')
                        .addDouble(2.5)
                        .invoke(Function.loadFunc(libc, "snprintf"))
                        .resultInt();
        String expected = "42|-1234567890123|3.142|vault|Z|2.5";
        Check.equal(expected, TestLibrary.text(buffer), "snprintf output");
        Check.equal(expected.length(), written, "snprintf result");
        Check.equal(expected.length(), PlatformContext.strlen(buffer), "strlen");
        Library.freeLibrary(libc);
    }

    static void testFunctionTable() {
        long table = Library.getVariableHandle(TestLibrary.HANDLE, "nt_table");
        Check.equal(13, call(ReturnType.INT32).addInt(6).addInt(7).invokeVirtual(table, 0).resultInt(), "first entry");
        Check.equal(42, call(ReturnType.INT32).addInt(6).addInt(7).invokeVirtual(table, 2).resultInt(), "third entry");
        Check.raises(FunctionExecutionException.class, "invalid vtbl (address=0x" + Long.toHexString(table) + ", index=1)",
                () -> call(ReturnType.INT32).invokeVirtual(table, 1));
        Check.raises(FunctionExecutionException.class, "invalid vtbl (address=0x10, index=0)",
                () -> call(ReturnType.INT32).invokeVirtual(0x10, 0));
    }

    static void testVariables() {
        long counter = Library.getVariableHandle(TestLibrary.HANDLE, "nt_counter");
        Check.isTrue(counter != 0, "variable address");
        int bumped = call(ReturnType.INT32).invoke(function("nt_bump")).resultInt();
        Check.equal(bumped, TestLibrary.counter(), "variable read through its address");
    }

    static void testLookupFailures() {
        String path = "/nonexistent/libnothing.so";
        Check.raises(LibraryNotFoundException.class,
                path + " cause: " + path + ": cannot open shared object file: No such file or directory",
                () -> Library.load(path));
        Check.raises(LibraryNotFoundException.class, "null", () -> Library.loadLibrary(null));
        Check.raises(NoSuchFunctionException.class, "nt_missing", () -> Function.loadFunc(TestLibrary.HANDLE, "nt_missing"));
        Check.raises(NoSuchFunctionException.class, "null", () -> Function.loadFunc(TestLibrary.HANDLE, null));
        Check.raises(NoSuchVariableException.class, "nt_nothing", () -> Library.getVariableHandle(TestLibrary.HANDLE, "nt_nothing"));
        Check.equal(-1, Library.freeLibrary(0), "closing a null handle");
    }

    static void testMalformedBlocksAreRefusedBeforeAnyCall() {
        int before = TestLibrary.counter();
        long bump = function("nt_bump");
        byte[] block = call(ReturnType.INT32).addInt(1).addInt(2).toByteArray();
        Check.raises(FunctionExecutionException.class, MALFORMED,
                () -> Function.invokeCFunc(bump, (byte) 1, block, block.length - 1, 4, 0));
        Check.raises(FunctionExecutionException.class, MALFORMED,
                () -> Function.invokeCFunc(bump, (byte) 1, block, block.length + 1, 4, 0));
        Check.raises(FunctionExecutionException.class, MALFORMED,
                () -> Function.invokeCFunc(bump, (byte) 1, null, 0, 0, 0));
        Check.raises(FunctionExecutionException.class, MALFORMED,
                () -> Function.invokeCFunc(bump, (byte) 1, block, block.length, block.length, 0));
        Check.raises(FunctionExecutionException.class, MALFORMED,
                () -> Function.invokeCFunc(bump, (byte) 1, block, block.length, -1, 0));

        byte[] tooMany = block.clone();
        ByteBuffer.wrap(tooMany).order(ByteOrder.LITTLE_ENDIAN).putLong(4, 3);
        Check.raises(FunctionExecutionException.class, MALFORMED,
                () -> Function.invokeCFunc(bump, (byte) 1, tooMany, tooMany.length, 4, 0));
        byte[] unknownCode = block.clone();
        ByteBuffer.wrap(unknownCode).order(ByteOrder.LITTLE_ENDIAN).putLong(12, 9);
        Check.raises(FunctionExecutionException.class, MALFORMED,
                () -> Function.invokeCFunc(bump, (byte) 1, unknownCode, unknownCode.length, 4, 0));
        byte[] hugeMemory = call(ReturnType.INT32).addMemory(new byte[8]).toByteArray();
        ByteBuffer.wrap(hugeMemory).order(ByteOrder.LITTLE_ENDIAN).putLong(20, Long.MAX_VALUE);
        Check.raises(FunctionExecutionException.class, MALFORMED,
                () -> Function.invokeCFunc(bump, (byte) 1, hugeMemory, hugeMemory.length, 4, 0));
        byte[] nested = call(ReturnType.INT32).addStructure(new Structure().int32(1)).toByteArray();
        ByteBuffer.wrap(nested).order(ByteOrder.LITTLE_ENDIAN).putLong(28, 6);
        Check.raises(FunctionExecutionException.class, MALFORMED,
                () -> Function.invokeCFunc(bump, (byte) 1, nested, nested.length, 4, 0));
        Check.equal(before, TestLibrary.counter(), "no call was made");
    }

    static void testOutgoingStackAreaIsBounded() {
        int before = TestLibrary.counter();
        long bump = function("nt_bump");
        ArgumentBlock fits = call(ReturnType.INT32);
        for (int i = 0; i < 6 + 4000; i++) {
            fits.addLong(i);
        }
        Check.equal(before + 1, fits.invoke(bump).resultInt(), "32000 bytes of stack arguments");
        Check.raises(FunctionExecutionException.class, MALFORMED, () -> fits.addLong(1).invoke(bump));
        Check.raises(FunctionExecutionException.class, MALFORMED,
                () -> call(ReturnType.INT32).addMemory(new byte[32001]).invoke(bump));
        Check.equal(before + 1, TestLibrary.counter(), "refused blocks made no call");
    }

    static void testNullFunctionAddress() {
        Check.raises(FunctionExecutionException.class, "invalid (address=0x0)",
                () -> call(ReturnType.INT32).addInt(1).invoke(0));
        byte[] shortBlock = call(ReturnType.INT32).addInt(1).toByteArray();
        Check.raises(FunctionExecutionException.class, MALFORMED,
                () -> Function.invokeCFunc(0, (byte) 1, shortBlock, shortBlock.length - 1, 4, 0));
    }

    static void testPlatformFactsAndConversions() {
        Check.equal(1, PlatformContext.getBoolLength(), "bool");
        Check.equal(4, PlatformContext.getWideCharLength(), "wchar_t");
        Check.equal(8, PlatformContext.getPointerLength(), "pointer");
        Check.equal(2, PlatformContext.getShortLength(), "short");
        Check.equal(4, PlatformContext.getIntLength(), "int");
        Check.equal(8, PlatformContext.getLongLength(), "long");
        Check.equal(4, PlatformContext.getFloatLength(), "float");
        Check.equal(8, PlatformContext.getDoubleLength(), "double");
        Check.equal(16, PlatformContext.getLongDoubleLength(), "long double");
        Check.isTrue(PlatformContext.isLittleEndian(), "little-endian");
        Check.equal(8, PlatformContext.getParameterAlignment(), "parameter alignment");
        Check.equal(8, PlatformContext.getDefaultStructureAlignment(), "structure alignment");
        Check.equal(1, PlatformContext.getDefaultCallingConvention(), "calling convention");

        Check.equal(0.1f, PlatformContext.convertCFloatToDouble(PlatformContext.convertDoubleToCFloat(0.1)), "float round trip");
        Check.equal(-0.1, PlatformContext.convertCDoubleToDouble(PlatformContext.convertDoubleToCDouble(-0.1)), "double round trip");
        byte[] extended = PlatformContext.convertDoubleToCLongDouble(1.0);
        Check.equal(16, extended.length, "long double size");
        // 1.0 in x87 extended format: explicit integer bit, exponent 0x3fff.
        Check.equal(new byte[] {0, 0, 0, 0, 0, 0, 0, (byte) 0x80, (byte) 0xff, 0x3f, 0, 0, 0, 0, 0, 0}, extended, "1.0 as long double");
        Check.equal(-1e300, PlatformContext.convertCLongDoubleToDouble(PlatformContext.convertDoubleToCLongDouble(-1e300)), "long double round trip");
        Check.raises(IllegalArgumentException.class, "expected 4 bytes", () -> PlatformContext.convertCFloatToDouble(new byte[8]));
        Check.raises(IllegalArgumentException.class, "expected 16 bytes", () -> PlatformContext.convertCLongDoubleToDouble(null));

        Check.equal(5, PlatformContext.strlen(TestLibrary.pointer("nt_word")), "strlen");
        Check.raises(MemoryAccessViolationException.class, "b", () -> PlatformContext.strlen(0x10));
        Check.raises(MemoryAccessViolationException.class, "b", () -> PlatformContext.wcslen(0));
    }

    static void testProcessorHelpers() {
        long bridge = Library.load(System.getProperty("nativio.library"));
        long libc = Library.load("libc.so.6");
        long area = TestLibrary.pointer("nt_scratch") + 256;
        call(ReturnType.POINTER).addPointer(area).addInt(0).addLong(32).invoke(Function.loadFunc(libc, "memset"));
        call(ReturnType.VOID)
                .addPointer(area)
                .addPointer(area + 4)
                .addPointer(area + 8)
                .addPointer(area + 12)
                .addPointer(area + 16)
                .invoke(Function.loadFunc(bridge, "callCPUID"));
        ByteBuffer registers = TestLibrary.peek(area);
        Check.isTrue(registers.getInt(0) >= 1, "highest CPUID leaf");
        StringBuilder vendor = new StringBuilder();
        for (int offset : new int[] {4, 12, 8}) {
            for (int i = 0; i < 4; i++) {
                vendor.append((char) registers.get(offset + i));
            }
        }
        Check.isTrue(vendor.toString().matches("[ -~]{12}"), "vendor text: " + vendor);
        Check.equal(registers.get(4) & 0xff, registers.getShort(16), "low byte of EBX");

        long ticks = call(ReturnType.INT64).invoke(Function.loadFunc(bridge, "retrieveProcessorFrequency")).resultLong();
        Check.isTrue(ticks > 0, "ticks per microsecond: " + ticks);
        Library.freeLibrary(libc);
        Library.freeLibrary(bridge);
    }

    static void testNativeThreadAttachesThroughTheBridgeAndLeavesNoThreadBehind() {
        long bridge = Library.load(System.getProperty("nativio.library"));
        long getEnv = Function.loadFunc(bridge, "GetJNIEnv");
        long detach = Function.loadFunc(bridge, "DetachCurrentThread");
        int threadsBefore = Thread.getAllStackTraces().size();
        Check.equal(1, call(ReturnType.INT32).addPointer(getEnv).addPointer(detach).invoke(function("nt_attach_probe")).resultInt(), "attach, use JNI, detach");
        // Other tests' threads may still be ending, never starting: the count cannot grow.
        Check.isTrue(Thread.getAllStackTraces().size() <= threadsBefore, "no attached thread left");
        Check.equal(1, call(ReturnType.INT32).addPointer(getEnv).invoke(function("nt_env_of_java_thread")).resultInt(), "a Java thread is not attached again");
        Library.freeLibrary(bridge);
    }

    static void testConcurrentCallsFromManyThreads() throws InterruptedException {
        int threads = 8;
        List<Throwable> errors = Collections.synchronizedList(new ArrayList<>());
        CountDownLatch done = new CountDownLatch(threads);
        long sum7 = function("nt_sum7");
        long sum9 = function("nt_sum9");
        for (int t = 0; t < threads; t++) {
            long base = t * 1000L;
            new Thread(() -> {
                try {
                    ArgumentBlock block = new ArgumentBlock(ReturnType.INT64);
                    for (int n = 0; n < 20000; n++) {
                        block.reset();
                        long expected = 0;
                        for (int i = 1; i <= 7; i++) {
                            block.addLong(base + n + i);
                            expected += i * (base + n + i);
                        }
                        Check.equal(expected, block.invoke(sum7).resultLong(), "sum7 on a thread");
                        block.reset(ReturnType.DOUBLE);
                        for (int i = 1; i <= 9; i++) {
                            block.addDouble(base + i);
                        }
                        double doubles = 0;
                        for (int i = 1; i <= 9; i++) {
                            doubles += i * (double) (base + i);
                        }
                        Check.equal(doubles, block.invoke(sum9).resultDouble(), "sum9 on a thread");
                        block.reset(ReturnType.INT64);
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

    private static ByteBuffer result(ArgumentBlock block) {
        return ByteBuffer.wrap(block.resultBytes()).order(ByteOrder.LITTLE_ENDIAN);
    }
}
