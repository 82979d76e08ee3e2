package com.vaultor.sim;

import com.vaultor.sim.world.World;
import com.vaultor.sim.world.WorldBuilder;
import java.util.List;

/** Builds the world an Options asks for and applies its scenario switches to it. */
public final class WorldSetup {
    private WorldSetup() {}

    public static World build(Options options, long nowMillis) throws OptionsException {
        World world = new WorldBuilder(options.seed(), options.destinations(), options.sources())
                .speed(options.speed())
                .build(nowMillis);
        List<Long> unknown = options.unknownGuids(guid -> world.destination(guid).isPresent());
        if (!unknown.isEmpty()) {
            throw new OptionsException("no destination with GUID " + unknown.get(0));
        }
        options.offline().forEach(world::markOffline);
        options.outOfSpace().forEach(world::markOutOfSpace);
        world.setAlert(options.alert());
        return world;
    }
}
