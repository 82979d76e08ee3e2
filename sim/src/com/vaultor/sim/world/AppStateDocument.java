package com.vaultor.sim.world;

import java.util.LinkedHashMap;
import java.util.Map;

/**
 * The app-state document: the service's flags and texts, "os", the backup sets under "sets",
 * every computer of the account under "computers" (this one with "self", destinations with
 * "target", sources with "source"), followed by the statistics keys of a stats document.
 */
public final class AppStateDocument {
    public static final String VERSION_NAME = "4.2.0 (simulated)";
    public static final long VERSION_NUMBER = 420;

    private AppStateDocument() {}

    public static Map<String, Object> build(World world, long nowMillis, String websiteHost) {
        synchronized (world) {
            Map<String, Object> document = new LinkedHashMap<>();
            document.put("alert", world.alert());
            document.put("appBaseName", "Vaultor");
            document.put("proClient", false);
            document.put("upgrading", false);
            document.put("locale", "en_US");
            document.put("versionName", VERSION_NAME);
            document.put("versionNumber", VERSION_NUMBER);
            document.put("websiteHost", websiteHost);
            document.put("os", "linux");
            document.put("sets", sets(world));
            document.put("computers", computers(world));
            StatsDocument.putInto(document, world, nowMillis);
            return document;
        }
    }

    private static Map<String, Object> sets(World world) {
        Map<String, Object> sets = new LinkedHashMap<>();
        for (BackupSet set : world.sets()) {
            Map<String, Object> entry = new LinkedHashMap<>();
            entry.put("id", set.id());
            entry.put("name", set.name());
            entry.put("priority", set.priority());
            entry.put("isPathSetEmpty", false);
            entry.put("destinations", set.destinationGuids());
            sets.put(Long.toString(set.id()), entry);
        }
        return sets;
    }

    private static Map<String, Object> computers(World world) {
        Map<String, Object> computers = new LinkedHashMap<>();
        add(computers, world.self(), true, false, false);
        for (Destination destination : world.destinations()) {
            add(computers, destination.computer(), false, true, false);
        }
        for (Source source : world.sources()) {
            add(computers, source.computer(), false, false, true);
        }
        for (Computer other : world.others()) {
            add(computers, other, false, false, false);
        }
        return computers;
    }

    private static void add(
            Map<String, Object> computers, Computer computer, boolean self, boolean target, boolean source) {
        Map<String, Object> entry = new LinkedHashMap<>();
        entry.put("guid", computer.guid());
        entry.put("name", computer.name());
        entry.put("backupCode", computer.backupCode());
        entry.put("dataKeyChecksumHex", computer.dataKeyChecksumHex());
        entry.put("address", computer.address());
        entry.put("port", computer.port());
        entry.put("blocked", false);
        entry.put("vtc", computer.cloud());
        entry.put("own", computer.own());
        entry.put("self", self);
        entry.put("target", target);
        entry.put("source", source);
        if (target) {
            entry.put("offeredBytesOnTarget", computer.offeredBytesOnTarget());
        }
        entry.put("userId", computer.userId());
        computers.put(Long.toString(computer.guid()), entry);
    }
}
