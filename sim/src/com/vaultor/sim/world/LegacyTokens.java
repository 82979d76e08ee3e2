package com.vaultor.sim.world;

import java.util.ArrayList;
import java.util.List;

/**
 * The token forms of the older protocol: the fourteen-token backup statistics summary and the
 * computer list. The summary's three points in time are milliseconds since 1970, the unit every
 * other document of the service uses.
 */
public final class LegacyTokens {
    private static final int SENDING = 1;
    private static final int RECEIVING = 2;
    private static final int RUNNING = 4;
    private static final int RESTORING = 8;
    private static final int SCANNING = 16;

    private LegacyTokens() {}

    public static List<String> summary(World world, long nowMillis) {
        synchronized (world) {
            boolean working = !world.isSystemPaused(nowMillis);
            Destination sendingTo = working
                    ? world.destinations().stream().filter(Destination::isBackingUp).findFirst().orElse(null)
                    : null;
            Source receivingFrom = world.sources().stream().filter(Source::isBackingUp).findFirst().orElse(null);
            Restore restore = world.restores().stream()
                    .filter(r -> r.isRestoring(world.simSeconds())).findFirst().orElse(null);
            boolean scanning = working && world.destinations().stream()
                    .anyMatch(d -> d.isReady() && d.sets().stream().anyMatch(SetProgress::isScanning));

            int activities = RUNNING;
            activities |= sendingTo != null ? SENDING : 0;
            activities |= receivingFrom != null ? RECEIVING : 0;
            activities |= restore != null ? RESTORING : 0;
            activities |= scanning ? SCANNING : 0;

            long remainingFiles = 0;
            long remainingBytes = 0;
            long totalBytes = 0;
            long totalFiles = 0;
            long backedUpFiles = 0;
            long lastBackup = -1;
            long nextScheduled = Long.MAX_VALUE;
            for (Destination destination : world.destinations()) {
                for (SetProgress progress : destination.sets()) {
                    remainingFiles += progress.numRemainingFiles();
                    remainingBytes += progress.numRemainingBytes();
                    totalBytes += progress.totalBytes();
                    totalFiles += progress.totalFiles();
                    backedUpFiles += progress.totalFiles() - progress.numRemainingFiles();
                    lastBackup = Math.max(lastBackup, progress.lastBackupTime());
                    if (progress.nextBackupTime() > 0) {
                        nextScheduled = Math.min(nextScheduled, progress.nextBackupTime());
                    }
                }
            }
            long sendRate = sendingTo == null ? 0 : sendingTo.sets().stream()
                    .filter(p -> p.phase() == SetProgress.Phase.SENDING)
                    .findFirst()
                    .map(p -> Math.round(p.sendBytesPerSec() * world.speed()))
                    .orElse(0L);

            List<String> tokens = new ArrayList<>();
            tokens.add(Integer.toString(activities));
            tokens.add(Long.toString(remainingFiles));
            tokens.add(Long.toString(backedUpFiles));
            tokens.add(Long.toString(world.resumeSystemTime()));
            tokens.add(Integer.toString(statusCode(world.backupStatus())));
            tokens.add(Long.toString(receivingFrom == null ? 0 : receivingFrom.guid()));
            tokens.add(Long.toString(sendingTo == null ? 0 : sendingTo.guid()));
            tokens.add(Long.toString(restore == null ? 0 : restore.sourceGuid()));
            tokens.add(Long.toString(sendRate));
            tokens.add(Long.toString(remainingBytes));
            tokens.add(Long.toString(totalBytes));
            tokens.add(Long.toString(totalFiles));
            tokens.add(Long.toString(lastBackup));
            tokens.add(Long.toString(nextScheduled == Long.MAX_VALUE ? 0 : nextScheduled));
            return tokens;
        }
    }

    /** Legacy status codes: 0 severe, 1 warning, 2 safe. */
    static int statusCode(String status) {
        return switch (status) {
            case "SEVERE" -> 0;
            case "WARNING" -> 1;
            default -> 2;
        };
    }

    /**
     * Token 0 is the number of records; each further token is one computer:
     * GUID,name,host,port,userId,self,own,vtc,target,source,blocked,timeConnected.
     */
    public static List<String> computers(World world, long connectedSinceMillis) {
        synchronized (world) {
            List<String> records = new ArrayList<>();
            records.add(record(world.self(), true, false, false, connectedSinceMillis));
            for (Destination destination : world.destinations()) {
                records.add(record(destination.computer(), false, true, false,
                        destination.isConnected() ? connectedSinceMillis : 0));
            }
            for (Source source : world.sources()) {
                records.add(record(source.computer(), false, false, true,
                        source.isConnected() ? connectedSinceMillis : 0));
            }
            for (Computer other : world.others()) {
                records.add(record(other, false, false, false, 0));
            }
            List<String> tokens = new ArrayList<>();
            tokens.add(Integer.toString(records.size()));
            tokens.addAll(records);
            return tokens;
        }
    }

    private static String record(Computer computer, boolean self, boolean target, boolean source, long connectedSince) {
        return String.join(",",
                Long.toString(computer.guid()),
                plain(computer.name()),
                plain(computer.address()),
                Integer.toString(computer.port()),
                Long.toString(computer.userId()),
                Boolean.toString(self),
                Boolean.toString(computer.own()),
                Boolean.toString(computer.cloud()),
                Boolean.toString(target),
                Boolean.toString(source),
                "false",
                Double.toString(connectedSince / 1000.0));
    }

    /** Names travel inside comma- and bar-separated records, which have no escaping. */
    private static String plain(String text) {
        return text.replace(',', ' ').replace('|', ' ');
    }
}
