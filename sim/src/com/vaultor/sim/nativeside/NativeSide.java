package com.vaultor.sim.nativeside;

import com.sun.security.auth.module.UnixSystem;
import com.vaultor.sim.server.SimLog;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;

/**
 * The native side the real service has: libnativio and, through it, libvtnative, telling the
 * simulator what this computer is like, which files change in the watched folder and, as root,
 * which of them the named programs open.
 */
public final class NativeSide implements AutoCloseable {
    private final List<AutoCloseable> parts = new ArrayList<>();
    private final SimLog log;

    public NativeSide(Path folder, List<String> detect, FolderEvents events, SimLog log) {
        this.log = log;
        NativeHelper helper = NativeHelper.load();
        new SystemFacts(helper).lines().forEach(log::note);
        parts.add(new FolderWatch(helper, folder, events, log));
        if (detect.isEmpty()) {
            return;
        }
        if (!isRoot()) {
            log.note("detect: not root, so no file-open detection for " + String.join(", ", detect));
            return;
        }
        parts.add(new OpenDetection(helper, detect, folder, log));
    }

    private static boolean isRoot() {
        return new UnixSystem().getUid() == 0;
    }

    /** Stops detecting and watching; nothing calls back into Java afterwards. */
    @Override
    public void close() {
        for (int i = parts.size() - 1; i >= 0; i--) {
            try {
                parts.get(i).close();
            } catch (Exception failed) {
                log.note("closing the native side: " + failed);
            }
        }
        parts.clear();
    }
}
