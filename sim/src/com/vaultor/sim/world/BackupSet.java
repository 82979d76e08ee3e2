package com.vaultor.sim.world;

import java.util.List;

/** One backup set of this computer: what it is called, how it ranks and where it goes. */
public record BackupSet(
        long id, String name, long priority, List<Long> destinationGuids, Schedule schedule, String folder) {
    public BackupSet {
        destinationGuids = List.copyOf(destinationGuids);
    }
}
