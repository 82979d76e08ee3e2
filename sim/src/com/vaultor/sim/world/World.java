package com.vaultor.sim.world;

import java.util.ArrayList;
import java.util.Collections;
import java.util.List;
import java.util.Optional;
import java.util.Random;

/**
 * The simulated backup world of this computer: its destinations, its sources, its backup sets,
 * restores and the system-wide pause. Time moves only through advanceTo, so tests can drive it
 * with made-up clocks. Every method is synchronized on the world; callers that read several
 * values for one document hold the world's lock for the whole read.
 */
public final class World {
    private static final double RUN_BATCH_SHARE_MIN = 0.001;
    private static final double RUN_BATCH_SHARE_MAX = 0.01;
    private static final double SOURCE_IDLE_SECONDS = 240;
    /** A clock jump (or a huge speed) moves the world by at most one simulated day at a time. */
    private static final double MAX_STEP_SECONDS = 86_400;

    private final Computer self;
    private final List<Destination> destinations;
    private final List<Source> sources;
    private final List<Computer> others;
    private final List<BackupSet> sets;
    private final List<Restore> restores;
    private final double speed;
    private final Random random;
    private final FileNames names;
    private final List<WorldEvent> pendingEvents = new ArrayList<>();
    private double simSeconds;
    private long lastMillis;
    private long resumeSystemTime;
    private boolean alert;

    World(Computer self,
            List<Destination> destinations,
            List<Source> sources,
            List<Computer> others,
            List<BackupSet> sets,
            List<Restore> restores,
            double speed,
            Random random,
            long startMillis) {
        this.self = self;
        this.destinations = List.copyOf(destinations);
        this.sources = List.copyOf(sources);
        this.others = List.copyOf(others);
        this.sets = List.copyOf(sets);
        this.restores = List.copyOf(restores);
        this.speed = speed;
        this.random = random;
        this.names = new FileNames(random);
        this.lastMillis = startMillis;
    }

    /** Lets wall-clock time pass up to nowMillis; earlier times change nothing. */
    public synchronized void advanceTo(long nowMillis) {
        if (nowMillis <= lastMillis) {
            return;
        }
        double step = Math.min(MAX_STEP_SECONDS, (nowMillis - lastMillis) / 1000.0 * speed);
        lastMillis = nowMillis;
        simSeconds += step;
        if (resumeSystemTime != 0 && resumeSystemTime <= nowMillis) {
            resumeSystemTime = 0;
        }
        boolean working = !isSystemPaused(nowMillis);
        for (Destination destination : destinations) {
            for (SetProgress progress : destination.sets()) {
                boolean canWork = working
                        && destination.isReady()
                        && !progress.isPaused(nowMillis)
                        && progress.set().schedule().isWithin(simSeconds);
                long before = progress.numRemainingBytes();
                progress.advance(step, nowMillis, canWork, speed, names, batchShare());
                destination.addToArchive(Math.max(0, before - progress.numRemainingBytes()));
            }
        }
        for (Source source : sources) {
            double nextBatch = source.selectionBytes() * batchShare();
            if (source.advance(step, simSeconds, nowMillis, working, nextBatch, SOURCE_IDLE_SECONDS)) {
                pendingEvents.add(new WorldEvent(
                        source.isConnected()
                                ? WorldEvent.Kind.COMPUTER_CONNECTED
                                : WorldEvent.Kind.COMPUTER_DISCONNECTED,
                        source.guid()));
            }
        }
        if (working) {
            restores.forEach(restore -> restore.advance(step, simSeconds));
        }
    }

    private double batchShare() {
        return RUN_BATCH_SHARE_MIN + random.nextDouble() * (RUN_BATCH_SHARE_MAX - RUN_BATCH_SHARE_MIN);
    }

    /**
     * A file of a watched folder was created or modified: it becomes a file to do of the first
     * destination's first set. Without a destination or a set there is nobody to send it to.
     */
    public synchronized void fileChanged(String path, long bytes) {
        watchedFilesSet().ifPresent(progress -> progress.fileChanged(path, bytes));
    }

    /** A file of a watched folder was deleted: it is no longer to do. */
    public synchronized void fileDeleted(String path) {
        watchedFilesSet().ifPresent(progress -> progress.fileDeleted(path));
    }

    private Optional<SetProgress> watchedFilesSet() {
        return destinations.stream().findFirst().flatMap(first -> first.sets().stream().findFirst());
    }

    /** Connection changes since the last call, oldest first. */
    public synchronized List<WorldEvent> drainEvents() {
        List<WorldEvent> events = List.copyOf(pendingEvents);
        pendingEvents.clear();
        return events;
    }

    /** Pauses all backup work for the given minutes; zero or fewer minutes resume it. */
    public synchronized long pauseSystem(long minutes, long nowMillis) {
        long until = Millis.plusMinutes(nowMillis, minutes);
        resumeSystemTime = until > nowMillis ? until : 0;
        return resumeSystemTime;
    }

    public synchronized void resumeSystem() {
        resumeSystemTime = 0;
    }

    /**
     * Pauses one set at one destination until minutes from now; minutes that land in the past
     * resume it, which is how a tray client resumes a destination.
     */
    public synchronized void pauseSet(SetProgress progress, long minutes, long nowMillis) {
        progress.pauseUntil(Millis.plusMinutes(nowMillis, minutes), nowMillis);
    }

    public synchronized boolean markOffline(long guid) {
        Optional<Destination> destination = destination(guid);
        destination.ifPresent(found -> found.setConnected(false));
        return destination.isPresent();
    }

    public synchronized boolean markOutOfSpace(long guid) {
        Optional<Destination> destination = destination(guid);
        destination.ifPresent(found -> found.setOutOfSpace(true));
        return destination.isPresent();
    }

    public synchronized void setAlert(boolean alert) {
        this.alert = alert;
    }

    public synchronized boolean alert() {
        return alert;
    }

    public synchronized boolean isSystemPaused(long nowMillis) {
        return resumeSystemTime > nowMillis;
    }

    /** When the system-wide pause ends, in ms; 0 when not paused. */
    public synchronized long resumeSystemTime() {
        return resumeSystemTime;
    }

    public synchronized Optional<Destination> destination(long guid) {
        return destinations.stream().filter(d -> d.guid() == guid).findFirst();
    }

    public Computer self() {
        return self;
    }

    public List<Destination> destinations() {
        return destinations;
    }

    public List<Source> sources() {
        return sources;
    }

    /** Computers of the account that are neither a source nor a destination of this one. */
    public List<Computer> others() {
        return others;
    }

    public List<BackupSet> sets() {
        return sets;
    }

    public List<Restore> restores() {
        return Collections.unmodifiableList(restores);
    }

    public double speed() {
        return speed;
    }

    public synchronized double simSeconds() {
        return simSeconds;
    }

    /** The service's overall status text: the worst status of any set at any destination. */
    public synchronized String backupStatus() {
        String worst = "SAFE";
        for (Destination destination : destinations) {
            if (destination.sets().isEmpty()) {
                continue;
            }
            String status = destination.setStatus();
            if (status.equals("SEVERE")) {
                return status;
            }
            if (status.equals("WARNING")) {
                worst = status;
            }
        }
        return worst;
    }
}
