package com.vaultor.sim.tests;

import java.lang.reflect.InvocationTargetException;
import java.lang.reflect.Method;
import java.nio.file.Path;
import java.util.Arrays;
import java.util.Comparator;
import java.util.List;

/**
 * Runs every @Test method of the simulator's test classes, one fresh instance per test, and
 * prints "PASS Class.method" or "FAIL Class.method: reason" for each, then a summary. Exits
 * with 1 when anything failed. Arguments: --jar PATH (the built simulator jar, for the
 * end-to-end cases) and --java PATH (the java launcher to start it with).
 */
public final class TestRunner {
    private static final List<Class<?>> CLASSES = List.of(
            ProtocolTest.class,
            WorldTest.class,
            OpeningExchangeTest.class,
            StrictPeerTest.class,
            CommandTest.class,
            ScenarioTest.class,
            ProcessTest.class);

    private static Path jar;
    private static Path java = Path.of(System.getProperty("java.home"), "bin", "java");

    private TestRunner() {}

    static Path jar() {
        if (jar == null) {
            throw new IllegalStateException("the runner was started without --jar");
        }
        return jar;
    }

    static Path java() {
        return java;
    }

    public static void main(String[] args) throws Exception {
        for (int i = 0; i + 1 < args.length; i += 2) {
            switch (args[i]) {
                case "--jar" -> jar = Path.of(args[i + 1]);
                case "--java" -> java = Path.of(args[i + 1]);
                default -> throw new IllegalArgumentException("unknown argument " + args[i]);
            }
        }
        int passed = 0;
        int failed = 0;
        for (Class<?> type : CLASSES) {
            Method[] methods = type.getDeclaredMethods();
            Arrays.sort(methods, Comparator.comparing(Method::getName));
            for (Method method : methods) {
                if (!method.isAnnotationPresent(Test.class)) {
                    continue;
                }
                String name = type.getSimpleName() + "." + method.getName();
                try {
                    method.invoke(type.getDeclaredConstructor().newInstance());
                    passed++;
                    System.out.println("PASS " + name);
                } catch (InvocationTargetException thrown) {
                    failed++;
                    System.out.println("FAIL " + name + ": " + thrown.getCause());
                    thrown.getCause().printStackTrace(System.out);
                }
                System.out.flush();
            }
        }
        System.out.println(passed + " passed, " + failed + " failed");
        System.exit(failed == 0 ? 0 : 1);
    }
}
