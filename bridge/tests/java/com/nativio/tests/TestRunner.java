package com.nativio.tests;

import java.lang.reflect.InvocationTargetException;
import java.lang.reflect.Method;
import java.lang.reflect.Modifier;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.Comparator;
import java.util.List;

/** Runs every public static test method of the bridge's test classes; exits 1 on a failure. */
public final class TestRunner {
    private TestRunner() {}

    public static void main(String[] args) {
        int failures = 0;
        int passed = 0;
        // The suites named as arguments, or all but the one that needs a display.
        List<Class<?>> suites = new ArrayList<>();
        for (String name : args) {
            try {
                suites.add(Class.forName("com.nativio.tests." + name));
            } catch (ClassNotFoundException e) {
                throw new IllegalArgumentException("no test suite " + name, e);
            }
        }
        if (suites.isEmpty()) {
            suites.addAll(List.of(
                    BridgeTests.class,
                    CallbackTests.class,
                    FaultTests.class,
                    MainMessageLoopTests.class,
                    MemoryManagerTests.class,
                    WatcherEndToEndTests.class));
        }
        for (Class<?> suite : suites) {
            Method[] methods = suite.getDeclaredMethods();
            Arrays.sort(methods, Comparator.comparing(Method::getName));
            for (Method method : methods) {
                if (!method.getName().startsWith("test")
                        || !Modifier.isStatic(method.getModifiers())) {
                    continue;
                }
                String name = suite.getSimpleName() + "." + method.getName();
                try {
                    method.invoke(null);
                    passed++;
                    System.out.println("ok     " + name);
                } catch (InvocationTargetException e) {
                    failures++;
                    System.out.println("FAILED " + name + ": " + e.getCause());
                    e.getCause().printStackTrace(System.out);
                } catch (ReflectiveOperationException e) {
                    failures++;
                    System.out.println("FAILED " + name + ": " + e);
                }
            }
        }
        System.out.println(passed + " passed, " + failures + " failed");
        System.exit(failures == 0 ? 0 : 1);
    }
}
