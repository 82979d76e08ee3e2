package com.vaultor.sim.world;

import java.util.HashSet;
import java.util.Random;
import java.util.Set;

/**
 * Hands out distinct 18-digit GUIDs. They lie well above 2^53 on purpose: a client that reads
 * them through a double loses digits and shows it at once.
 */
final class GuidSource {
    private static final long LOWEST = 100_000_000_000_000_000L;
    private static final long RANGE = 800_000_000_000_000_000L;

    private final Random random;
    private final Set<Long> used = new HashSet<>();

    GuidSource(Random random) {
        this.random = random;
    }

    long next() {
        long guid;
        do {
            guid = LOWEST + random.nextLong(RANGE);
        } while (!used.add(guid));
        return guid;
    }
}
