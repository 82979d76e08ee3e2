package com.vaultor.sim.tests;

import com.vaultor.sim.Options;
import com.vaultor.sim.WorldSetup;
import com.vaultor.sim.server.SimLog;
import com.vaultor.sim.server.SimServer;
import com.vaultor.sim.world.World;
import java.io.ByteArrayOutputStream;
import java.io.IOException;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Comparator;
import java.util.List;
import java.util.Map;
import java.util.stream.Stream;

/**
 * A simulator running inside the test JVM on a free loopback port, with its endpoint file in a
 * fresh temporary data home and its output captured.
 */
final class InProcessSim implements AutoCloseable {
    private final Path dataHome;
    private final ByteArrayOutputStream out = new ByteArrayOutputStream();
    private final ByteArrayOutputStream err = new ByteArrayOutputStream();
    private final World world;
    private final SimServer server;

    InProcessSim(String... args) throws Exception {
        dataHome = Files.createTempDirectory("vaultor-sim-test");
        List<String> all = new ArrayList<>(List.of("--data-home", dataHome.toString(), "--log"));
        all.addAll(List.of(args));
        Options options = Options.parse(all, Map.of());
        world = WorldSetup.build(options, System.currentTimeMillis());
        SimLog log = new SimLog(new PrintStream(out, true, StandardCharsets.UTF_8),
                new PrintStream(err, true, StandardCharsets.UTF_8), options.log());
        server = new SimServer(options, world, log);
        server.start();
    }

    World world() {
        return world;
    }

    int port() {
        return server.port();
    }

    Path endpointFile() {
        return dataHome.resolve("Vaultor").resolve(".ui_info");
    }

    /** The token as a client finds it: the second field of the endpoint file. */
    String token() throws IOException {
        return Files.readString(endpointFile(), StandardCharsets.UTF_8).split(",")[1];
    }

    TestClient client() throws IOException {
        return new TestClient(port());
    }

    List<String> outLines() {
        synchronized (out) {
            return List.of(out.toString(StandardCharsets.UTF_8).split("\n"));
        }
    }

    String errText() {
        synchronized (err) {
            return err.toString(StandardCharsets.UTF_8);
        }
    }

    /** Waits, with a generous limit, until a note containing the text has been written. */
    void awaitNote(String text) throws InterruptedException {
        long deadline = System.nanoTime() + TestClient.TIMEOUT_MILLIS * 1_000_000L;
        while (!errText().contains(text)) {
            if (System.nanoTime() > deadline) {
                throw new AssertionError("no note containing '" + text + "' in:\n" + errText());
            }
            Thread.sleep(20);
        }
    }

    @Override
    public void close() throws IOException {
        server.close();
        try (Stream<Path> paths = Files.walk(dataHome)) {
            for (Path path : paths.sorted(Comparator.reverseOrder()).toList()) {
                Files.deleteIfExists(path);
            }
        }
    }
}
