package com.vaultor.sim.tests;

import com.vaultor.sim.json.JsonWriter;
import com.vaultor.sim.world.AppStateDocument;
import com.vaultor.sim.world.Destination;
import com.vaultor.sim.world.LegacyTokens;
import com.vaultor.sim.world.SetProgress;
import com.vaultor.sim.world.StatsDocument;
import com.vaultor.sim.world.World;
import com.vaultor.sim.world.WorldBuilder;
import com.vaultor.sim.world.WorldEvent;
import java.math.BigDecimal;
import java.util.List;
import java.util.Map;

/** The simulated world, driven by a made-up clock. */
public final class WorldTest {
    private static final long START = 1_800_000_000_000L;
    private static final long MINUTE = 60_000;

    private static World world(int destinations, int sources) {
        return new WorldBuilder(42, destinations, sources).build(START);
    }

    @Test
    public void sameSeedGivesTheSameComputers() {
        World first = world(3, 2);
        World again = world(3, 2);
        World other = new WorldBuilder(43, 3, 2).build(START);
        Check.equal(first.self().guid(), again.self().guid(), "this computer");
        Check.equal(first.destinations().get(2).guid(), again.destinations().get(2).guid(), "third destination");
        Check.isTrue(first.self().guid() != other.self().guid(), "another seed gives other GUIDs");
        Check.equal(3, first.destinations().size(), "destinations");
        Check.equal(2, first.sources().size(), "sources");
        Check.isTrue(first.destinations().get(0).computer().cloud(), "the first destination is the cloud");
        Check.isTrue(first.self().guid() > (1L << 53), "GUIDs need all 64 bits");
    }

    @Test
    public void everySetRunsToCompletionAndStartsAgain() {
        World world = world(2, 0);
        long now = START;
        boolean sawSending = false;
        for (int step = 0; step < 600; step++) {
            now += 10_000;
            world.advanceTo(now);
            for (Destination destination : world.destinations()) {
                for (SetProgress progress : destination.sets()) {
                    if (progress.phase() == SetProgress.Phase.SENDING) {
                        sawSending = true;
                        Check.isTrue(progress.currentFile().startsWith(progress.set().folder()), "a file of the set");
                        Check.isTrue(progress.completedRatio().compareTo(BigDecimal.ONE) < 0,
                                "not complete while sending");
                        Check.isTrue(progress.estimatedTimeRemainingInSec(1) > 0, "time left while sending");
                    }
                }
            }
        }
        Check.isTrue(sawSending, "some set was sending");
        for (Destination destination : world.destinations()) {
            for (SetProgress progress : destination.sets()) {
                Check.isTrue(progress.lastCompletedBackupTime() > START, "set " + progress.set().id()
                        + " on " + destination.computer().name() + " completed during the run");
            }
        }
    }

    @Test
    public void changedFilesOfAWatchedFolderAreSentFirstAndDeletedOnesDropped() {
        World world = world(2, 0);
        SetProgress progress = world.destinations().get(0).sets().get(0);
        long now = START;
        for (int step = 0; step < 10_000 && progress.phase() != SetProgress.Phase.IDLE; step++) {
            now += 1_000;
            world.advanceTo(now);
        }
        SetProgress other = world.destinations().get(1).sets().get(0);
        long otherToDo = other.numRemainingFiles();
        world.fileChanged("/w/a.txt", 100);
        world.fileChanged("/w/b.txt", 200);
        world.fileChanged("/w/c.txt", 300);
        world.fileChanged("/w/a.txt", 150);
        world.fileDeleted("/w/c.txt");
        world.fileDeleted("/w/never-seen.txt");
        Check.equal(2L, progress.numRemainingFiles(), "files to do: a once (changed twice) and b");
        Check.equal(350L, progress.numRemainingBytes(), "bytes to do: a's new size and b");
        Check.isTrue(progress.completedRatio().compareTo(BigDecimal.ONE) < 0, "not complete with files to do");
        Check.equal(otherToDo, other.numRemainingFiles(), "other destinations do not get the files");

        now += 1_000;
        world.advanceTo(now);
        Check.equal(SetProgress.Phase.SENDING, progress.phase(), "a change starts a run at once");
        Check.equal("/w/a.txt", progress.currentFile(), "the oldest change is sent first");
        Check.isTrue(progress.estimatedTimeRemainingInSec(1) > 0, "time left while sending");

        world.fileDeleted("/w/a.txt");
        Check.equal("/w/b.txt", progress.currentFile(), "a file deleted while sent gives way to the next");
        Check.equal(1L, progress.numRemainingFiles(), "files to do after the delete");

        for (int step = 0; step < 10 && progress.phase() != SetProgress.Phase.IDLE; step++) {
            now += 1_000;
            world.advanceTo(now);
        }
        Check.equal(SetProgress.Phase.IDLE, progress.phase(), "idle once the changes are sent");
        Check.equal(0L, progress.numRemainingFiles(), "nothing to do");
        Check.equal(BigDecimal.ONE, progress.completedRatio(), "complete again");
        Check.isTrue(progress.lastCompletedBackupTime() == now, "the run of the changes completed");
    }

    @Test
    public void aCompletedSetReportsExactlyOne() {
        World world = world(1, 0);
        long now = START;
        SetProgress progress = world.destinations().get(0).sets().get(0);
        for (int step = 0; step < 10_000 && progress.phase() != SetProgress.Phase.IDLE; step++) {
            now += 1_000;
            world.advanceTo(now);
        }
        Check.equal(SetProgress.Phase.IDLE, progress.phase(), "phase");
        Check.equal(BigDecimal.ONE, progress.completedRatio(), "ratio");
        Check.equal(0L, progress.numRemainingBytes(), "bytes left");
        Check.equal(progress.totalFiles(), progress.numFilesScanned(), "files scanned");
        Check.isTrue(progress.nextBackupTime() > now - 1_000, "the next run is scheduled");
    }

    @Test
    public void offlineAndFullDestinationsMakeNoProgress() {
        World world = world(3, 0);
        Destination offline = world.destinations().get(1);
        Destination full = world.destinations().get(2);
        world.markOffline(offline.guid());
        world.markOutOfSpace(full.guid());
        long offlineBefore = offline.sets().get(0).numRemainingBytes();
        long fullBefore = full.sets().get(0).numRemainingBytes();
        world.advanceTo(START + 30 * MINUTE);
        Check.equal(offlineBefore, offline.sets().get(0).numRemainingBytes(), "offline destination");
        Check.equal(fullBefore, full.sets().get(0).numRemainingBytes(), "full destination");
        Check.equal("WARNING", offline.setStatus(), "offline status");
        Check.equal("SEVERE", full.setStatus(), "out-of-space status");
        Check.equal("SEVERE", world.backupStatus(), "the worst status wins");
        Check.isTrue(!world.markOffline(12345), "an unknown GUID is refused");
    }

    @Test
    public void aSystemPauseStopsWorkUntilItEnds() {
        World world = world(1, 1);
        Check.equal(START + 10 * MINUTE, world.pauseSystem(10, START), "resume time in ms");
        Check.isTrue(world.isSystemPaused(START + 5 * MINUTE), "paused in between");
        List<Long> before = remaining(world);
        world.advanceTo(START + 9 * MINUTE);
        Check.equal(before, remaining(world), "nothing moved while paused");
        world.advanceTo(START + 11 * MINUTE);
        Check.equal(0L, world.resumeSystemTime(), "the pause ended by itself");
        Check.equal(0L, world.pauseSystem(-5, START), "minutes in the past do not pause");
        Check.equal(Long.MAX_VALUE, world.pauseSystem(Long.MAX_VALUE, START), "huge minutes saturate");
    }

    private static List<Long> remaining(World world) {
        return world.destinations().stream()
                .flatMap(destination -> destination.sets().stream())
                .map(SetProgress::numRemainingBytes)
                .toList();
    }

    @Test
    public void theScheduledSetFollowsItsWindow() {
        World world = world(2, 0);
        Destination last = world.destinations().get(1);
        SetProgress music = last.set(3).orElseThrow();
        Check.equal(List.of(last.guid()), music.set().destinationGuids(), "Music goes to the last destination");
        boolean sawOutside = false;
        boolean sawInside = false;
        for (int step = 0; step < 80; step++) {
            world.advanceTo(START + step * 10_000L);
            Map<String, Object> set = setStats(world, last.guid(), 3, START + step * 10_000L);
            boolean within = (Boolean) set.get("withinSchedule");
            sawOutside |= !within;
            sawInside |= within;
            Check.equal("Every day, 22:00 to 06:00", set.get("scheduledTime"), "schedule text");
        }
        Check.isTrue(sawInside && sawOutside, "the window opened and closed");
    }

    private static Map<String, Object> setStats(World world, long guid, long setId, long now) {
        Map<String, Object> document = Json.object(Json.parse(
                JsonWriter.write(StatsDocument.build(world, now))), "stats");
        Map<String, Object> destination = Json.object(Json.object(document, "OutboundStats"), Long.toString(guid));
        return Json.object(destination, Long.toString(setId));
    }

    @Test
    public void theLaptopComesAndGoes() {
        World world = world(1, 2);
        long laptop = world.sources().get(1).guid();
        world.advanceTo(START + 11 * MINUTE);
        Check.equal(List.of(new WorldEvent(WorldEvent.Kind.COMPUTER_DISCONNECTED, laptop)), world.drainEvents(),
                "the laptop left");
        Check.equal(List.of(), world.drainEvents(), "events are handed out once");
        world.advanceTo(START + 12 * MINUTE);
        Check.equal(List.of(new WorldEvent(WorldEvent.Kind.COMPUTER_CONNECTED, laptop)), world.drainEvents(),
                "the laptop came back");
    }

    @Test
    public void aRestoreRunsFromTheCloud() {
        World world = world(1, 0);
        Check.isTrue(!world.restores().get(0).hasStarted(world.simSeconds()), "not started at first");
        world.advanceTo(START + 2 * MINUTE);
        Check.isTrue(world.restores().get(0).isRestoring(world.simSeconds()), "restoring after a while");
        Check.equal(world.destinations().get(0).guid(), world.restores().get(0).sourceGuid(), "from the cloud");
        Check.equal(world.self().guid(), world.restores().get(0).targetGuid(), "to this computer");
    }

    @Test
    public void theLegacySummaryHasFourteenTokens() {
        World world = world(2, 1);
        world.pauseSystem(30, START);
        List<String> tokens = LegacyTokens.summary(world, START);
        Check.equal(14, tokens.size(), "token count");
        Check.equal(Long.toString(START + 30 * MINUTE), tokens.get(3), "pause end in ms");
        Check.equal("2", tokens.get(4), "status safe");
        Check.isTrue((Integer.parseInt(tokens.get(0)) & 4) != 0, "running bit");
        world.markOffline(world.destinations().get(1).guid());
        Check.equal("1", LegacyTokens.summary(world, START).get(4), "status warning");
        List<String> computers = LegacyTokens.computers(world, START);
        Check.equal("5", computers.get(0), "record count: self, two destinations, a source, one other");
        Check.equal(12, computers.get(1).split(",").length, "fields of a record");
        Check.isTrue(computers.get(1).startsWith(world.self().guid() + ",Workstation,"), "self record");
    }

    @Test
    public void anEmptyWorldStillMakesDocuments() {
        World world = world(0, 0);
        Map<String, Object> document = Json.object(Json.parse(JsonWriter.write(
                AppStateDocument.build(world, START, "127.0.0.1"))), "app state");
        Check.equal(Map.of(), Json.object(document, "OutboundStats"), "no destinations");
        Check.equal("SAFE", document.get("backupStatus"), "status");
        Check.equal(14, LegacyTokens.summary(world, START).size(), "summary");
    }
}
