package com.nativio.tests;

import com.nativio.ArgumentBlock;
import com.nativio.CallbackFunction;
import com.nativio.CallbackInvocation;
import com.nativio.CallbackSignature;
import com.nativio.Function;
import com.nativio.Library;
import com.nativio.MemoryManager;
import com.nativio.ReturnType;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Comparator;
import java.util.List;
import java.util.function.Consumer;
import java.util.stream.Stream;

/** Java drives libvtnative's file watcher through five callback thunks on a temporary tree. */
final class WatcherEndToEndTests {
    private static final long LIBRARY = Library.load(System.getProperty("nativio.vtnative"));

    private final List<String> events = new ArrayList<>();
    private final List<String> threads = new ArrayList<>();
    private int finished;

    private WatcherEndToEndTests() {}

    private static long function(String name) {
        return Function.loadFunc(LIBRARY, name);
    }

    private static ArgumentBlock call(ReturnType type) {
        return new ArgumentBlock(type);
    }

    private static CallbackFunction callback(
            CallbackSignature signature, Consumer<CallbackInvocation> body) {
        return new CallbackFunction(signature) {
            @Override
            protected void invoke(CallbackInvocation call) {
                body.accept(call);
            }
        };
    }

    private CallbackFunction pathEvent(String kind) {
        return callback(
                new CallbackSignature(ReturnType.VOID).addPointer().addInt(),
                call -> record(kind + " " + MemoryManager.readString(call.pointerAt(0), 0)
                        + (call.intAt(1) == 1 ? "/" : "")));
    }

    private synchronized void record(String event) {
        events.add(event);
        threads.add(Thread.currentThread().getName());
    }

    private synchronized void finish() {
        finished++;
        threads.add(Thread.currentThread().getName());
        notifyAll();
    }

    /** Asks for the next batch and waits (generously) for its finished callbacks. */
    private synchronized void batch(long watcher) throws InterruptedException {
        int target = finished + 2;
        call(ReturnType.VOID).addPointer(watcher).invoke(function("wakeup"));
        long deadline = System.nanoTime() + 60_000_000_000L;
        while (finished < target && System.nanoTime() < deadline) {
            wait(1000);
        }
        Check.isTrue(finished >= target, "the batch finished");
    }

    private synchronized boolean saw(String event) {
        return events.contains(event);
    }

    private static long nativeString(String text) {
        byte[] bytes = (text + "\0").getBytes(StandardCharsets.UTF_8);
        long address = MemoryManager.alloc(bytes.length);
        MemoryManager.createBuffer(address, bytes.length).put(bytes);
        return address;
    }

    static void testFileWatcherThroughCallbacks() throws IOException, InterruptedException {
        WatcherEndToEndTests test = new WatcherEndToEndTests();
        Path root = Files.createTempDirectory("nativio-watcher").toRealPath();
        Files.writeString(root.resolve("kept.txt"), "one");
        Files.writeString(root.resolve("doomed.txt"), "two");
        Files.createDirectory(root.resolve("from"));
        long path = nativeString(root.toString());
        long paths = MemoryManager.alloc(8);
        MemoryManager.createBuffer(paths, 8).put(MemoryManager.convertToByteArray(path));
        List<CallbackFunction> callbacks =
                List.of(
                        test.pathEvent("created"),
                        test.pathEvent("modified"),
                        test.pathEvent("deleted"),
                        callback(
                                new CallbackSignature(ReturnType.VOID).addPointer(),
                                call -> test.record("scan " + MemoryManager.readString(call.pointerAt(0), 0))),
                        callback(new CallbackSignature(ReturnType.VOID), call -> test.finish()));
        try {
            ArgumentBlock create = call(ReturnType.POINTER);
            for (CallbackFunction cb : callbacks) {
                create.addPointer(cb.address());
            }
            long watcher = create.addPointer(paths).addInt(1).invoke(function("create_watcher")).resultLong();
            Check.isTrue(watcher != 0, "watcher created");
            try {
                test.batch(watcher);
                Files.createFile(root.resolve("new.txt"));
                Files.writeString(root.resolve("kept.txt"), "changed");
                Files.delete(root.resolve("doomed.txt"));
                Files.move(root.resolve("from"), root.resolve("to"));
                test.batch(watcher);
            } finally {
                call(ReturnType.VOID).addPointer(watcher).invoke(function("invalidate"));
            }
            for (String event :
                    new String[] {
                        "created " + root.resolve("new.txt"),
                        "modified " + root.resolve("kept.txt"),
                        "deleted " + root.resolve("doomed.txt"),
                        "created " + root.resolve("to") + "/",
                        "scan " + root.resolve("to"),
                    }) {
                Check.isTrue(test.saw(event), "saw \"" + event + "\" in " + test.events);
            }
            String caller = Thread.currentThread().getName();
            synchronized (test) {
                Check.isTrue(!test.threads.contains(caller), "callbacks ran on the watcher's threads: " + test.threads);
            }
        } finally {
            for (CallbackFunction cb : callbacks) {
                cb.close();
            }
            MemoryManager.free(paths);
            MemoryManager.free(path);
            try (Stream<Path> tree = Files.walk(root)) {
                tree.sorted(Comparator.reverseOrder()).forEach(p -> p.toFile().delete());
            }
        }
    }
}
