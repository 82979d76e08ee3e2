package com.vaultor.sim.nativeside;

import com.nativio.CallbackFunction;
import com.nativio.CallbackInvocation;
import com.nativio.CallbackSignature;
import com.nativio.ReturnType;
import com.vaultor.sim.server.SimLog;
import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;
import java.util.concurrent.Executors;
import java.util.concurrent.ScheduledExecutorService;
import java.util.concurrent.TimeUnit;
import java.util.function.Consumer;

/**
 * A folder watched through libvtnative's file watcher, as the service watches its backup
 * selection: five callbacks, and a wakeup every second that asks for the changes since the last
 * batch. Files created or modified become files to do; deleted ones are dropped.
 */
public final class FolderWatch implements AutoCloseable {
    private static final long WAKEUP_MILLIS = 1000;

    private final NativeHelper helper;
    private final FolderEvents events;
    private final SimLog log;
    private final List<CallbackFunction> callbacks;
    private final ScheduledExecutorService wakeups;
    private final long watcher;

    public FolderWatch(NativeHelper helper, Path folder, FolderEvents events, SimLog log) {
        this.helper = helper;
        this.events = events;
        this.log = log;
        CallbackFunction created = fileEvent(path -> changed("created", path));
        CallbackFunction modified = fileEvent(path -> changed("modified", path));
        CallbackFunction deleted = fileEvent(this::deleted);
        CallbackFunction scan = new CallbackFunction(new CallbackSignature(ReturnType.VOID).addPointer()) {
            @Override
            protected void invoke(CallbackInvocation call) {
                log.note("watch: the history was lost; " + NativeHelper.string(call.pointerAt(0))
                        + " would be scanned again");
            }
        };
        CallbackFunction finished = new CallbackFunction(new CallbackSignature(ReturnType.VOID)) {
            @Override
            protected void invoke(CallbackInvocation call) {}
        };
        callbacks = List.of(created, modified, deleted, scan, finished);
        long handle;
        try (NativeHelper.CStrings paths = new NativeHelper.CStrings(List.of(folder.toString()))) {
            NativeHelper.Call call = helper.call("create_watcher", ReturnType.POINTER);
            callbacks.forEach(callback -> call.pointer(callback.address()));
            handle = call.pointer(paths.address()).integer(paths.count()).invoke().resultLong();
        }
        if (handle == 0) {
            callbacks.forEach(CallbackFunction::close);
            throw new IllegalStateException("the native library refused to watch " + folder);
        }
        watcher = handle;
        helper.call("start_watching_all", ReturnType.VOID).pointer(watcher).invoke();
        wakeups = Executors.newSingleThreadScheduledExecutor(runnable -> {
            Thread thread = new Thread(runnable, "watch-wakeup");
            thread.setDaemon(true);
            return thread;
        });
        wakeups.scheduleWithFixedDelay(this::wakeup, WAKEUP_MILLIS, WAKEUP_MILLIS, TimeUnit.MILLISECONDS);
        log.note("watching " + folder);
    }

    private void wakeup() {
        helper.call("wakeup", ReturnType.VOID).pointer(watcher).invoke();
    }

    private void changed(String how, String path) {
        Path file = Path.of(path);
        if (!Files.isRegularFile(file)) {
            return;
        }
        try {
            long bytes = Files.size(file);
            events.fileChanged(path, bytes);
            log.note("watch: " + how + " " + path + " (" + bytes + " bytes), a file to do");
        } catch (IOException gone) {
            deleted(path);
        }
    }

    private void deleted(String path) {
        events.fileDeleted(path);
        log.note("watch: deleted " + path);
    }

    /** Ends the watcher; its callbacks are released once the library promises not to call them. */
    @Override
    public void close() {
        wakeups.shutdownNow();
        try {
            wakeups.awaitTermination(5, TimeUnit.SECONDS);
        } catch (InterruptedException interrupted) {
            Thread.currentThread().interrupt();
        }
        helper.call("invalidate", ReturnType.VOID).pointer(watcher).invoke();
        callbacks.forEach(CallbackFunction::close);
    }

    private static CallbackFunction fileEvent(Consumer<String> handler) {
        return new CallbackFunction(new CallbackSignature(ReturnType.VOID).addPointer().addInt()) {
            @Override
            protected void invoke(CallbackInvocation call) {
                if (call.intAt(1) == 0) {
                    handler.accept(NativeHelper.string(call.pointerAt(0)));
                }
            }
        };
    }
}
