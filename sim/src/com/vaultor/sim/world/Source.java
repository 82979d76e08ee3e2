package com.vaultor.sim.world;

import java.math.BigDecimal;
import java.math.RoundingMode;

/**
 * A computer that backs up to this one. It sends batches at its own rate while it is online;
 * its availability window makes a laptop come and go.
 */
public final class Source {
    private final Computer computer;
    private final Schedule availability;
    private final double receiveBytesPerSec;
    private final long selectionBytes;
    private long archiveSize;
    private double remainingBytes;
    private boolean connected;
    private long lastBackupTime = -1;
    private double idleSecondsLeft;

    Source(Computer computer,
            Schedule availability,
            double receiveBytesPerSec,
            long selectionBytes,
            double initialRemaining) {
        this.computer = computer;
        this.availability = availability;
        this.receiveBytesPerSec = receiveBytesPerSec;
        this.selectionBytes = selectionBytes;
        this.remainingBytes = initialRemaining;
        this.archiveSize = selectionBytes - Math.round(initialRemaining);
        this.connected = availability.isWithin(0);
    }

    /** Moves by simSeconds; returns true when the source's connection changed. */
    boolean advance(
            double simSeconds,
            double simNow,
            long nowMillis,
            boolean canWork,
            double nextBatchBytes,
            double idleSeconds) {
        boolean online = availability.isWithin(simNow);
        boolean changed = online != connected;
        connected = online;
        if (!connected || !canWork) {
            return changed;
        }
        double left = simSeconds;
        while (left > 0) {
            if (remainingBytes > 0) {
                // The batch either ends exactly here or takes all the time there is: computing
                // the rest as remaining - time * rate could leave a crumb too small to move the
                // clock, and the loop would never end.
                double needed = remainingBytes / receiveBytesPerSec;
                double received;
                if (left >= needed) {
                    received = remainingBytes;
                    remainingBytes = 0;
                    left -= needed;
                    idleSecondsLeft = Math.max(1, idleSeconds);
                } else {
                    received = left * receiveBytesPerSec;
                    remainingBytes = Math.max(0, remainingBytes - received);
                    left = 0;
                }
                archiveSize += Math.round(received);
                lastBackupTime = nowMillis;
            } else if (idleSecondsLeft > left) {
                idleSecondsLeft -= left;
                left = 0;
            } else {
                left -= idleSecondsLeft;
                idleSecondsLeft = 0;
                remainingBytes = Math.max(1, nextBatchBytes);
            }
        }
        return changed;
    }

    public Computer computer() {
        return computer;
    }

    public long guid() {
        return computer.guid();
    }

    public boolean isConnected() {
        return connected;
    }

    public boolean isBackingUp() {
        return connected && remainingBytes > 0;
    }

    public long archiveSize() {
        return archiveSize;
    }

    public long selectionBytes() {
        return selectionBytes;
    }

    public long numRemainingBytes() {
        return (long) Math.ceil(remainingBytes);
    }

    public double receiveBytesPerSec() {
        return receiveBytesPerSec;
    }

    public long lastBackupTime() {
        return lastBackupTime;
    }

    /** Fraction of the source's selection held here; exactly 1 only when nothing remains. */
    public BigDecimal completedRatio() {
        if (remainingBytes <= 0) {
            return BigDecimal.ONE;
        }
        BigDecimal done = BigDecimal.valueOf(selectionBytes - numRemainingBytes())
                .divide(BigDecimal.valueOf(selectionBytes), 4, RoundingMode.DOWN);
        return done.min(new BigDecimal("0.9999"));
    }
}
