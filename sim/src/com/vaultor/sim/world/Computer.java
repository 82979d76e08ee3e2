package com.vaultor.sim.world;

/** The fixed identity of one computer of the account, as the app-state document lists it. */
public record Computer(
        long guid,
        String name,
        String address,
        int port,
        boolean cloud,
        boolean own,
        long userId,
        String backupCode,
        String dataKeyChecksumHex,
        long offeredBytesOnTarget) {}
