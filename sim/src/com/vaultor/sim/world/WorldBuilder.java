package com.vaultor.sim.world;

import java.util.ArrayList;
import java.util.List;
import java.util.Random;

/**
 * Builds a believable world from a seed: this computer, N destinations (the first one the
 * cloud), M sources (the last one a laptop that comes and goes), three backup sets, one other
 * computer of the account and, when there is a destination, a restore from the cloud. The same
 * seed and counts always give the same computers, GUIDs and sets.
 */
public final class WorldBuilder {
    private static final long GB = 1L << 30;
    private static final long MB = 1L << 20;
    private static final List<String> DESTINATION_NAMES = List.of(
            "Office NAS", "Studio iMac", "Basement Server", "Grandma's Mac mini", "Backup Tower", "Lab Workstation");
    private static final List<String> SOURCE_NAMES = List.of(
            "Anna's MacBook", "Family iMac", "Kitchen Laptop", "Ben's MacBook Air", "Reception PC", "Studio Laptop");

    private final long seed;
    private final int destinationCount;
    private final int sourceCount;
    private double speed = 1;

    public WorldBuilder(long seed, int destinationCount, int sourceCount) {
        this.seed = seed;
        this.destinationCount = destinationCount;
        this.sourceCount = sourceCount;
    }

    public WorldBuilder speed(double speed) {
        this.speed = speed;
        return this;
    }

    public World build(long nowMillis) {
        Random random = new Random(seed);
        GuidSource guids = new GuidSource(random);
        long userId = 4_000_000L + random.nextInt(1_000_000);
        Computer self = new Computer(guids.next(), "Workstation", "127.0.0.1", 4242, false, true, userId,
                backupCode(random), checksum(random), 0);

        List<Destination> destinations = new ArrayList<>();
        for (int i = 0; i < destinationCount; i++) {
            destinations.add(destination(i, guids.next(), userId, random));
        }
        List<BackupSet> sets = sets(destinations);
        FileNames names = new FileNames(random);
        for (BackupSet set : sets) {
            long files = set.id() == 2 ? 30_000 + random.nextInt(60_000) : 5_000 + random.nextInt(50_000);
            long bytes = set.id() == 2 ? (50 + random.nextInt(200)) * GB : (5 + random.nextInt(60)) * GB;
            for (long guid : set.destinationGuids()) {
                Destination destination = destinations.stream().filter(d -> d.guid() == guid).findFirst().orElseThrow();
                double rate = destination.computer().cloud()
                        ? (1.5 + random.nextDouble() * 2.5) * MB
                        : (8 + random.nextDouble() * 17) * MB;
                SetProgress progress = new SetProgress(set, files, bytes, rate, set.id() == 3 ? 600 : 300);
                start(progress, random, names, nowMillis);
                destination.addSet(progress);
                destination.addToArchive(Math.round(bytes * (0.6 + random.nextDouble() * 0.3)));
            }
        }

        List<Source> sources = new ArrayList<>();
        for (int i = 0; i < sourceCount; i++) {
            sources.add(source(i, guids.next(), userId, random));
        }
        List<Computer> others = List.of(new Computer(guids.next(), "Old Laptop", "192.168.1.57", 4242, false, true,
                userId, backupCode(random), checksum(random), 0));
        List<Restore> restores = new ArrayList<>();
        if (!destinations.isEmpty()) {
            restores.add(new Restore(1 + random.nextInt(1000), destinations.get(0).guid(), self.guid(), 90,
                    (1 + random.nextInt(3)) * GB, 6 * MB));
        }
        return new World(self, destinations, sources, others, sets, restores, speed, random, nowMillis);
    }

    private Destination destination(int index, long guid, long userId, Random random) {
        if (index == 0) {
            Computer cloud = new Computer(guid, "Vaultor Cloud", "cloud.vaultor.example", 443, true, false, 1,
                    backupCode(random), checksum(random), 0);
            return new Destination(cloud, 0);
        }
        String name = DESTINATION_NAMES.get((index - 1) % DESTINATION_NAMES.size());
        if (index > DESTINATION_NAMES.size()) {
            name += " " + (1 + (index - 1) / DESTINATION_NAMES.size());
        }
        Computer computer = new Computer(guid, name, "192.168.1." + (10 + index % 240), 4242, false, true, userId,
                backupCode(random), checksum(random), (500 + random.nextInt(3500)) * GB);
        return new Destination(computer, 0);
    }

    /** Documents and Photos go everywhere; Music, with a night-time window, goes to the last destination. */
    private static List<BackupSet> sets(List<Destination> destinations) {
        List<Long> all = destinations.stream().map(Destination::guid).toList();
        List<Long> last = all.isEmpty() ? List.of() : List.of(all.get(all.size() - 1));
        Schedule nights = new Schedule("Every day, 22:00 to 06:00", 240, 120, 0);
        return List.of(
                new BackupSet(1, "Documents", 30, all, Schedule.ALWAYS, "/home/user/Documents"),
                new BackupSet(2, "Photos", 20, all, Schedule.ALWAYS, "/home/user/Pictures"),
                new BackupSet(3, "Music", 10, last, nights, "/home/user/Music"));
    }

    private void start(SetProgress progress, Random random, FileNames names, long nowMillis) {
        long hoursAgo = (1 + random.nextInt(48)) * 3_600_000L;
        double share = 0.002 + random.nextDouble() * 0.02;
        switch (random.nextInt(3)) {
            case 0 -> progress.startComplete(nowMillis - hoursAgo,
                    nowMillis + Math.round((20 + random.nextInt(180)) / speed * 1000));
            case 1 -> progress.startSending(share, nowMillis - hoursAgo, names);
            default -> progress.startScanning(share, nowMillis - hoursAgo);
        }
    }

    private Source source(int index, long guid, long userId, Random random) {
        String name = SOURCE_NAMES.get(index % SOURCE_NAMES.size());
        if (index >= SOURCE_NAMES.size()) {
            name += " " + (1 + index / SOURCE_NAMES.size());
        }
        Computer computer = new Computer(guid, name, "192.168.1." + (100 + index % 150), 4242, false, true, userId,
                backupCode(random), checksum(random), 0);
        boolean laptop = index == sourceCount - 1;
        Schedule availability = laptop ? new Schedule("", 600, 90, 0) : Schedule.ALWAYS;
        long selection = (20 + random.nextInt(180)) * GB;
        double remaining = selection * random.nextDouble() * 0.03;
        return new Source(computer, availability, (2 + random.nextDouble() * 8) * MB, selection, remaining);
    }

    private static String backupCode(Random random) {
        String alphabet = "ABCDEFGHJKLMNPQRSTUVWXYZ23456789";
        StringBuilder code = new StringBuilder();
        for (int i = 0; i < 9; i++) {
            code.append(i == 4 ? '-' : alphabet.charAt(random.nextInt(alphabet.length())));
        }
        return code.toString();
    }

    private static String checksum(Random random) {
        return String.format("%016x", random.nextLong());
    }
}
