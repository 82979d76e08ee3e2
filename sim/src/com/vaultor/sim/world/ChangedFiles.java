package com.vaultor.sim.world;

import java.util.Iterator;
import java.util.LinkedHashMap;
import java.util.Map;

/**
 * Real files the service saw change in a watched folder, in the order they changed, waiting to
 * be sent ahead of the run's own simulated batch. A file changed again while it waits keeps its
 * place and takes its new size. Each file stays the one being sent for at least a few
 * wall-clock seconds, however coarsely the world is advanced, so that the client's next look at
 * the statistics, and a person watching the tray, sees its name go by.
 */
final class ChangedFiles {
    static final long MIN_MILLIS_PER_FILE = 4000;

    private final Map<String, Long> sizes = new LinkedHashMap<>();
    private String head;
    private double headSecondsLeft;
    private long headSince;

    void changed(String path, long bytes) {
        sizes.put(path, Math.max(0, bytes));
    }

    void deleted(String path) {
        sizes.remove(path);
        if (path.equals(head)) {
            head = null;
        }
    }

    boolean isEmpty() {
        return sizes.isEmpty();
    }

    int count() {
        return sizes.size();
    }

    long bytes() {
        return sizes.values().stream().mapToLong(Long::longValue).sum();
    }

    /** The file being sent, or null when none waits. */
    String current() {
        return sizes.isEmpty() ? null : sizes.keySet().iterator().next();
    }

    /**
     * Spends up to seconds of simulated time, ending at nowMillis, sending files, oldest first;
     * returns the seconds left over once every file is sent.
     */
    double send(double seconds, double bytesPerSec, long nowMillis) {
        double left = seconds;
        Iterator<Map.Entry<String, Long>> files = sizes.entrySet().iterator();
        while (left > 0 && files.hasNext()) {
            Map.Entry<String, Long> file = files.next();
            if (!file.getKey().equals(head)) {
                head = file.getKey();
                headSecondsLeft = file.getValue() / bytesPerSec;
                headSince = nowMillis;
            }
            if (left < headSecondsLeft || nowMillis - headSince < MIN_MILLIS_PER_FILE) {
                headSecondsLeft = Math.max(0, headSecondsLeft - left);
                return 0;
            }
            left -= headSecondsLeft;
            files.remove();
            head = null;
        }
        return left;
    }
}
