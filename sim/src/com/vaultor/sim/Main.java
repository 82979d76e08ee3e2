package com.vaultor.sim;

import com.vaultor.sim.nativeside.FolderEvents;
import com.vaultor.sim.nativeside.NativeSide;
import com.vaultor.sim.server.SimLog;
import com.vaultor.sim.server.SimServer;
import com.vaultor.sim.world.Destination;
import com.vaultor.sim.world.Source;
import com.vaultor.sim.world.World;
import java.io.IOException;
import java.util.List;

/**
 * Starts the backup service simulator. Before "listening on 127.0.0.1:PORT" it prints the world
 * it simulates, one computer a line ("computer ROLE GUID NAME"), so that scripts and tests can
 * pick GUIDs for --offline and --out-of-space; the same seed and counts give the same GUIDs.
 */
public final class Main {
    private Main() {}

    public static void main(String[] args) {
        Options options;
        World world;
        try {
            options = Options.parse(List.of(args), System.getenv());
            if (options.help()) {
                System.out.println(Options.USAGE);
                return;
            }
            world = WorldSetup.build(options, System.currentTimeMillis());
        } catch (OptionsException bad) {
            System.err.println("vaultor-sim: " + bad.getMessage());
            System.err.println(Options.USAGE);
            System.exit(2);
            return;
        }

        SimLog log = new SimLog(System.out, System.err, options.log());
        printWorld(world, log);
        NativeSide nativeSide = startNativeSide(options, world, log);
        SimServer server = new SimServer(options, world, log);
        Runtime.getRuntime().addShutdownHook(new Thread(() -> {
            if (nativeSide != null) {
                nativeSide.close();
            }
            server.close();
        }, "shutdown"));
        try {
            server.start();
            server.awaitStopped();
        } catch (IOException failed) {
            log.note("cannot start: " + failed.getMessage());
            server.close();
            System.exit(1);
        } catch (InterruptedException interrupted) {
            Thread.currentThread().interrupt();
            server.close();
        }
    }

    /** The native side, with --watch only: without it the simulator needs no native library. */
    private static NativeSide startNativeSide(Options options, World world, SimLog log) {
        if (options.watch() == null) {
            return null;
        }
        FolderEvents events = new FolderEvents() {
            @Override
            public void fileChanged(String path, long bytes) {
                world.fileChanged(path, bytes);
            }

            @Override
            public void fileDeleted(String path) {
                world.fileDeleted(path);
            }
        };
        try {
            return new NativeSide(options.watch(), options.detect(), events, log);
        } catch (RuntimeException | UnsatisfiedLinkError failed) {
            log.note("cannot start the native side: " + failed.getMessage());
            System.exit(1);
            return null;
        }
    }

    private static void printWorld(World world, SimLog log) {
        log.line("computer self " + world.self().guid() + " " + world.self().name());
        for (Destination destination : world.destinations()) {
            log.line("computer destination " + destination.guid() + " " + destination.computer().name());
        }
        for (Source source : world.sources()) {
            log.line("computer source " + source.guid() + " " + source.computer().name());
        }
    }
}
