package com.vaultor.sim.world;

/** A restore of files from a destination back to this computer, starting at a simulated time. */
public final class Restore {
    private final long id;
    private final long sourceGuid;
    private final long targetGuid;
    private final double startsAtSimSeconds;
    private final double bytesPerSec;
    private double remainingBytes;

    Restore(long id, long sourceGuid, long targetGuid, double startsAtSimSeconds, long bytes, double bytesPerSec) {
        this.id = id;
        this.sourceGuid = sourceGuid;
        this.targetGuid = targetGuid;
        this.startsAtSimSeconds = startsAtSimSeconds;
        this.remainingBytes = bytes;
        this.bytesPerSec = bytesPerSec;
    }

    void advance(double simSeconds, double simNow) {
        if (hasStarted(simNow)) {
            remainingBytes = Math.max(0, remainingBytes - simSeconds * bytesPerSec);
        }
    }

    public boolean hasStarted(double simNow) {
        return simNow >= startsAtSimSeconds;
    }

    public boolean isRestoring(double simNow) {
        return hasStarted(simNow) && remainingBytes > 0;
    }

    public long id() {
        return id;
    }

    /** The computer the files come from (a destination of this computer). */
    public long sourceGuid() {
        return sourceGuid;
    }

    /** The computer the files go to (this computer). */
    public long targetGuid() {
        return targetGuid;
    }
}
