package com.vaultor.sim.world;

import java.math.BigDecimal;
import java.util.LinkedHashMap;
import java.util.Map;

/**
 * The statistics document of a StatsMessage (and the statistics half of an app-state document):
 * "OutboundStats" keyed by destination GUID, each holding its set entries under the set ID in
 * decimal; "InboundStats" keyed by source GUID; "RestoreStats" keyed by restore ID; the
 * system-wide "resumeSystemTime" in ms and the overall "backupStatus" text. Rates are reported
 * per wall-clock second, so they include the simulation speed.
 */
public final class StatsDocument {
    private StatsDocument() {}

    public static Map<String, Object> build(World world, long nowMillis) {
        synchronized (world) {
            Map<String, Object> document = new LinkedHashMap<>();
            putInto(document, world, nowMillis);
            return document;
        }
    }

    static void putInto(Map<String, Object> document, World world, long nowMillis) {
        Map<String, Object> outbound = new LinkedHashMap<>();
        for (Destination destination : world.destinations()) {
            outbound.put(Long.toString(destination.guid()), destination(destination, world, nowMillis));
        }
        Map<String, Object> inbound = new LinkedHashMap<>();
        for (Source source : world.sources()) {
            inbound.put(Long.toString(source.guid()), source(source, world.speed()));
        }
        Map<String, Object> restores = new LinkedHashMap<>();
        for (Restore restore : world.restores()) {
            if (restore.hasStarted(world.simSeconds())) {
                restores.put(Long.toString(restore.id()), restore(restore, world.simSeconds()));
            }
        }
        document.put("OutboundStats", outbound);
        document.put("InboundStats", inbound);
        document.put("RestoreStats", restores);
        document.put("resumeSystemTime", world.resumeSystemTime());
        document.put("backupStatus", world.backupStatus());
    }

    private static Map<String, Object> destination(Destination destination, World world, long nowMillis) {
        Map<String, Object> stats = new LinkedHashMap<>();
        boolean backingUp = destination.isBackingUp() && !world.isSystemPaused(nowMillis);
        long rate = backingUp ? sendingRate(destination, world.speed()) : 0;
        stats.put("guid", destination.guid());
        stats.put("connected", destination.isConnected());
        stats.put("backingUp", backingUp);
        stats.put("backupReady", destination.isReady());
        if (!destination.isConnected()) {
            stats.put("disconnectedCode", "NOT_REACHABLE");
            stats.put("backupNotReadyCode", "NOT_CONNECTED");
        } else if (destination.isOutOfSpace()) {
            stats.put("backupNotReadyCode", "OUT_OF_SPACE");
        }
        stats.put("outOfSpace", destination.isOutOfSpace());
        stats.put("validating", false);
        stats.put("maintaining", false);
        stats.put("maintainingCache", false);
        stats.put("completedRateInBytesPerSec", rate);
        stats.put("sendRateInBytesPerSec", rate);
        stats.put("remoteArchiveSize", destination.remoteArchiveSize());
        for (SetProgress progress : destination.sets()) {
            stats.put(Long.toString(progress.set().id()), set(progress, destination, world, nowMillis));
        }
        return stats;
    }

    private static long sendingRate(Destination destination, double speed) {
        return destination.sets().stream()
                .filter(progress -> progress.phase() == SetProgress.Phase.SENDING)
                .findFirst()
                .map(progress -> Math.round(progress.sendBytesPerSec() * speed))
                .orElse(0L);
    }

    private static Map<String, Object> set(SetProgress progress, Destination destination, World world, long nowMillis) {
        Map<String, Object> stats = new LinkedHashMap<>();
        BackupSet set = progress.set();
        boolean within = set.schedule().isWithin(world.simSeconds());
        stats.put("setId", set.id());
        stats.put("status", destination.setStatus());
        stats.put("completedRatio", progress.completedRatio());
        stats.put("estimatedTimeRemainingInSec", progress.estimatedTimeRemainingInSec(world.speed()));
        stats.put("lastCompletedBackupTime", progress.lastCompletedBackupTime());
        stats.put("nextBackupTime", progress.nextBackupTime());
        stats.put("lastBackupTime", progress.lastBackupTime());
        stats.put("paused", progress.isPaused(nowMillis));
        stats.put("resumeTime", progress.resumeTime(nowMillis));
        if (!set.schedule().text().isEmpty()) {
            stats.put("scheduledTime", set.schedule().text());
        }
        stats.put("selectedForBackup", true);
        stats.put("withinSchedule", within);
        stats.put("scanning", progress.isScanning() && destination.isReady());
        stats.put("numFilesScanned", progress.numFilesScanned());
        stats.put("numBytesScanned", progress.numBytesScanned());
        stats.put("numRemainingFiles", progress.numRemainingFiles());
        stats.put("numRemainingBytes", progress.numRemainingBytes());
        stats.put("analyzingFileTodo", fileToDo(progress.analyzingRatio(), analyzingFile(progress),
                "doneAnalyzing", progress.phase() != SetProgress.Phase.ANALYZING));
        stats.put("sendingFileTodo", fileToDo(progress.sendingRatio(), sendingFile(progress),
                "doneSending", progress.phase() == SetProgress.Phase.IDLE));
        return stats;
    }

    private static String analyzingFile(SetProgress progress) {
        return progress.phase() == SetProgress.Phase.ANALYZING ? progress.currentFile() : null;
    }

    private static String sendingFile(SetProgress progress) {
        return progress.phase() == SetProgress.Phase.SENDING ? progress.currentFile() : null;
    }

    private static Map<String, Object> fileToDo(BigDecimal ratio, String file, String doneKey, boolean done) {
        Map<String, Object> todo = new LinkedHashMap<>();
        todo.put("completionRatio", ratio);
        if (file != null) {
            todo.put("file", file);
        }
        todo.put(doneKey, done);
        return todo;
    }

    private static Map<String, Object> source(Source source, double speed) {
        Map<String, Object> stats = new LinkedHashMap<>();
        long rate = source.isBackingUp() ? Math.round(source.receiveBytesPerSec() * speed) : 0;
        stats.put("guid", source.guid());
        stats.put("connected", source.isConnected());
        stats.put("backingUp", source.isBackingUp());
        stats.put("backupReady", source.isConnected());
        if (!source.isConnected()) {
            stats.put("disconnectedCode", "NOT_REACHABLE");
        }
        stats.put("validating", false);
        stats.put("maintaining", false);
        stats.put("scanning", false);
        stats.put("completedRatio", source.completedRatio());
        stats.put("completedRateInBytesPerSec", rate);
        stats.put("receiveRateInBytesPerSec", rate);
        stats.put("archiveSize", source.archiveSize());
        stats.put("lastBackupTime", source.lastBackupTime());
        stats.put("numRemainingBytes", source.numRemainingBytes());
        return stats;
    }

    private static Map<String, Object> restore(Restore restore, double simNow) {
        Map<String, Object> stats = new LinkedHashMap<>();
        stats.put("id", restore.id());
        stats.put("restoring", restore.isRestoring(simNow));
        stats.put("sourceGuid", restore.sourceGuid());
        stats.put("targetGuid", restore.targetGuid());
        return stats;
    }
}
