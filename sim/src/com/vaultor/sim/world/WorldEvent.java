package com.vaultor.sim.world;

/** Something the service tells its tray clients without being asked. */
public record WorldEvent(Kind kind, long guid) {
    public enum Kind {
        COMPUTER_CONNECTED,
        COMPUTER_DISCONNECTED
    }
}
