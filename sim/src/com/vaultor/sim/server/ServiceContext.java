package com.vaultor.sim.server;

import com.vaultor.sim.Options;
import com.vaultor.sim.world.ServiceCommands;
import com.vaultor.sim.world.World;

/** What every connection of one simulator run shares: the world, the token and the scenario. */
record ServiceContext(World world, ServiceCommands commands, String token, Options options, AccountPage accountPage) {
    long now() {
        return System.currentTimeMillis();
    }

    /** The world brought up to the present, for a request that reads it. */
    World presentWorld() {
        world.advanceTo(now());
        return world;
    }
}
