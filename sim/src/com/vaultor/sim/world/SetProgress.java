package com.vaultor.sim.world;

import java.math.BigDecimal;
import java.math.RoundingMode;

/**
 * The progress of one backup set towards one destination. A backup run scans the selection,
 * analyses the changed files, sends them, and then waits until the next scheduled run, which
 * brings a fresh batch of changes. All durations are simulated seconds; points in time are
 * wall-clock milliseconds, because the client compares them with its own clock.
 */
public final class SetProgress {
    /** What the run is doing right now. */
    public enum Phase {
        IDLE,
        SCANNING,
        ANALYZING,
        SENDING
    }

    private static final BigDecimal ONE = BigDecimal.ONE;
    private static final double SCAN_FILES_PER_SEC = 4000;
    private static final double ANALYZE_FILES_PER_SEC = 400;

    private final BackupSet set;
    private final long totalFiles;
    private final long totalBytes;
    private final double sendBytesPerSec;
    private final double runIntervalSeconds;
    private Phase phase = Phase.IDLE;
    private double filesScanned;
    private long batchFiles;
    private double batchBytes;
    private double filesAnalyzed;
    private double remainingBytes;
    private String currentFile;
    private long lastBackupTime = -1;
    private long lastCompletedBackupTime = -1;
    private long nextBackupTime = -1;
    private long pausedUntil;
    private final ChangedFiles changedFiles = new ChangedFiles();

    SetProgress(BackupSet set, long totalFiles, long totalBytes, double sendBytesPerSec, double runIntervalSeconds) {
        this.set = set;
        this.totalFiles = totalFiles;
        this.totalBytes = totalBytes;
        this.sendBytesPerSec = sendBytesPerSec;
        this.runIntervalSeconds = runIntervalSeconds;
        this.filesScanned = totalFiles;
    }

    /** Starts in the idle phase after a completed run, the next run due at nextRunMillis. */
    void startComplete(long completedMillis, long nextRunMillis) {
        phase = Phase.IDLE;
        lastCompletedBackupTime = completedMillis;
        lastBackupTime = completedMillis;
        nextBackupTime = nextRunMillis;
    }

    /** Starts in the middle of sending a batch of the given share of the selection. */
    void startSending(double share, long lastCompletedMillis, FileNames names) {
        beginBatch(share);
        filesScanned = totalFiles;
        filesAnalyzed = batchFiles;
        phase = Phase.SENDING;
        lastCompletedBackupTime = lastCompletedMillis;
        lastBackupTime = lastCompletedMillis;
        currentFile = names.next(set.folder());
    }

    /** Starts a run from its scan, with a batch of the given share of the selection. */
    void startScanning(double share, long lastCompletedMillis) {
        beginBatch(share);
        filesScanned = 0;
        phase = Phase.SCANNING;
        lastCompletedBackupTime = lastCompletedMillis;
        lastBackupTime = lastCompletedMillis;
    }

    private void beginBatch(double share) {
        batchBytes = Math.max(1, Math.round(totalBytes * share));
        batchFiles = Math.max(1, Math.round(totalFiles * share));
        remainingBytes = batchBytes;
        filesAnalyzed = 0;
        nextBackupTime = -1;
    }

    /** A real file changed in a watched folder: it waits to be sent, ahead of the simulated batch. */
    void fileChanged(String path, long bytes) {
        changedFiles.changed(path, bytes);
    }

    /** A real file of a watched folder is gone: there is nothing of it left to send. */
    void fileDeleted(String path) {
        changedFiles.deleted(path);
        if (phase == Phase.SENDING && path.equals(currentFile)) {
            currentFile = changedFiles.current();
        }
    }

    /**
     * Moves the run forward by simSeconds of work ending at nowMillis. Work only happens when
     * canWork holds (destination reachable, nothing paused, inside the schedule window).
     */
    void advance(double simSeconds, long nowMillis, boolean canWork, double speed, FileNames names, double batchShare) {
        if (pausedUntil != 0 && pausedUntil <= nowMillis) {
            pausedUntil = 0;
        }
        double left = simSeconds;
        while (canWork && left > 0) {
            switch (phase) {
                case IDLE -> {
                    if (!changedFiles.isEmpty()) {
                        // A change starts a run at once, as a real-time backup does; its scan
                        // is the watcher's event, so the run goes straight to sending.
                        remainingBytes = 0;
                        nextBackupTime = -1;
                        phase = Phase.SENDING;
                        continue;
                    }
                    if (nextBackupTime < 0 || nowMillis < nextBackupTime) {
                        return;
                    }
                    beginBatch(batchShare);
                    filesScanned = 0;
                    phase = Phase.SCANNING;
                }
                case SCANNING -> left = scan(left);
                case ANALYZING -> left = analyze(left, names);
                case SENDING -> left = send(left, nowMillis, speed, names);
            }
        }
    }

    private double scan(double seconds) {
        double needed = (totalFiles - filesScanned) / SCAN_FILES_PER_SEC;
        if (seconds < needed) {
            filesScanned += seconds * SCAN_FILES_PER_SEC;
            return 0;
        }
        filesScanned = totalFiles;
        phase = Phase.ANALYZING;
        return seconds - needed;
    }

    private double analyze(double seconds, FileNames names) {
        currentFile = names.next(set.folder());
        double needed = (batchFiles - filesAnalyzed) / ANALYZE_FILES_PER_SEC;
        if (seconds < needed) {
            filesAnalyzed += seconds * ANALYZE_FILES_PER_SEC;
            return 0;
        }
        filesAnalyzed = batchFiles;
        phase = Phase.SENDING;
        return seconds - needed;
    }

    private double send(double seconds, long nowMillis, double speed, FileNames names) {
        lastBackupTime = nowMillis;
        if (!changedFiles.isEmpty()) {
            currentFile = changedFiles.current();
            seconds = changedFiles.send(seconds, sendBytesPerSec, nowMillis);
            currentFile = changedFiles.current();
            if (currentFile != null) {
                return 0;
            }
        }
        if (remainingBytes > 0) {
            currentFile = names.next(set.folder());
        }
        double needed = remainingBytes / sendBytesPerSec;
        if (seconds < needed) {
            remainingBytes -= seconds * sendBytesPerSec;
            return 0;
        }
        remainingBytes = 0;
        phase = Phase.IDLE;
        currentFile = null;
        lastCompletedBackupTime = nowMillis;
        nextBackupTime = nowMillis + Math.max(1, Math.round(runIntervalSeconds / speed * 1000));
        return seconds - needed;
    }

    void pauseUntil(long untilMillis, long nowMillis) {
        pausedUntil = untilMillis > nowMillis ? untilMillis : 0;
    }

    public BackupSet set() {
        return set;
    }

    public Phase phase() {
        return phase;
    }

    public boolean isPaused(long nowMillis) {
        return pausedUntil > nowMillis;
    }

    public long resumeTime(long nowMillis) {
        return isPaused(nowMillis) ? pausedUntil : 0;
    }

    public boolean isScanning() {
        return phase == Phase.SCANNING;
    }

    /** Analysing or sending: the destination is being backed up to. */
    public boolean isTransferring() {
        return phase == Phase.ANALYZING || phase == Phase.SENDING;
    }

    public long totalFiles() {
        return totalFiles;
    }

    public long totalBytes() {
        return totalBytes;
    }

    public long numFilesScanned() {
        return (long) Math.floor(filesScanned);
    }

    public long numBytesScanned() {
        return Math.round(totalBytes * (filesScanned / totalFiles));
    }

    public long numRemainingBytes() {
        return (long) Math.ceil(remainingBytes) + changedFiles.bytes();
    }

    public long numRemainingFiles() {
        long changed = changedFiles.count();
        if (remainingBytes <= 0) {
            return changed;
        }
        return changed + Math.max(1, (long) Math.ceil(batchFiles * (remainingBytes / batchBytes)));
    }

    /** Fraction of the selection that is backed up; exactly 1 only when nothing remains. */
    public BigDecimal completedRatio() {
        if (remainingBytes <= 0 && changedFiles.isEmpty()) {
            return ONE;
        }
        BigDecimal done = BigDecimal.valueOf(Math.max(0, totalBytes - numRemainingBytes()))
                .divide(BigDecimal.valueOf(totalBytes), 4, RoundingMode.DOWN);
        return done.min(new BigDecimal("0.9999"));
    }

    /** Seconds of wall-clock time the rest of the run will take at the current speed. */
    public long estimatedTimeRemainingInSec(double speed) {
        if (phase == Phase.IDLE) {
            return 0;
        }
        return (long) Math.ceil(numRemainingBytes() / (sendBytesPerSec * speed));
    }

    public double sendBytesPerSec() {
        return sendBytesPerSec;
    }

    public BigDecimal analyzingRatio() {
        if (phase == Phase.SCANNING) {
            return BigDecimal.ZERO;
        }
        return ratio(filesAnalyzed, batchFiles);
    }

    public BigDecimal sendingRatio() {
        if (phase != Phase.SENDING && phase != Phase.IDLE) {
            return BigDecimal.ZERO;
        }
        return ratio(batchBytes - remainingBytes, batchBytes);
    }

    private static BigDecimal ratio(double done, double total) {
        if (total <= 0 || done >= total) {
            return ONE;
        }
        return BigDecimal.valueOf(done / total).setScale(4, RoundingMode.DOWN);
    }

    public String currentFile() {
        return currentFile;
    }

    public long lastBackupTime() {
        return lastBackupTime;
    }

    public long lastCompletedBackupTime() {
        return lastCompletedBackupTime;
    }

    public long nextBackupTime() {
        return phase == Phase.IDLE ? nextBackupTime : -1;
    }
}
