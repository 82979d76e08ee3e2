package com.vaultor.sim.world;

import java.util.ArrayList;
import java.util.Collections;
import java.util.List;
import java.util.Optional;

/** A computer this one backs up to, with the progress of each set that goes there. */
public final class Destination {
    private final Computer computer;
    private final List<SetProgress> sets = new ArrayList<>();
    private boolean connected = true;
    private boolean outOfSpace;
    private long remoteArchiveSize;

    Destination(Computer computer, long remoteArchiveSize) {
        this.computer = computer;
        this.remoteArchiveSize = remoteArchiveSize;
    }

    void addSet(SetProgress progress) {
        sets.add(progress);
    }

    void setConnected(boolean connected) {
        this.connected = connected;
    }

    void setOutOfSpace(boolean outOfSpace) {
        this.outOfSpace = outOfSpace;
    }

    void addToArchive(long bytes) {
        remoteArchiveSize += bytes;
    }

    public Computer computer() {
        return computer;
    }

    public long guid() {
        return computer.guid();
    }

    public List<SetProgress> sets() {
        return Collections.unmodifiableList(sets);
    }

    public Optional<SetProgress> set(long setId) {
        return sets.stream().filter(progress -> progress.set().id() == setId).findFirst();
    }

    public boolean isConnected() {
        return connected;
    }

    public boolean isOutOfSpace() {
        return outOfSpace;
    }

    /** Reachable and with room: a run can make progress here. */
    public boolean isReady() {
        return connected && !outOfSpace;
    }

    public long remoteArchiveSize() {
        return remoteArchiveSize;
    }

    public boolean isBackingUp() {
        return isReady() && sets.stream().anyMatch(SetProgress::isTransferring);
    }

    /** The service's status text for every set here: reachability and space decide it. */
    public String setStatus() {
        if (!connected) {
            return "WARNING";
        }
        return outOfSpace ? "SEVERE" : "SAFE";
    }
}
