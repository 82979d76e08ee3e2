package com.vaultor.sim.tests;

import java.io.BufferedReader;
import java.io.IOException;
import java.io.InputStream;
import java.io.InputStreamReader;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Comparator;
import java.util.List;
import java.util.concurrent.TimeUnit;
import java.util.function.Predicate;
import java.util.stream.Stream;

/** The real simulator jar in its own JVM, with a temporary data home and its output collected. */
final class SimProcess implements AutoCloseable {
    private final Path dataHome;
    private final Process process;
    private final List<String> out = new ArrayList<>();
    private final StringBuilder err = new StringBuilder();
    private final List<Thread> readers = new ArrayList<>();

    SimProcess(String... args) throws IOException {
        dataHome = Files.createTempDirectory("vaultor-sim-process");
        List<String> command = new ArrayList<>(List.of(TestRunner.java().toString(), "-jar",
                TestRunner.jar().toString(), "--data-home", dataHome.toString()));
        command.addAll(List.of(args));
        process = new ProcessBuilder(command).start();
        readers.add(collect(process.getInputStream(), line -> {
            synchronized (out) {
                out.add(line);
                out.notifyAll();
            }
        }));
        readers.add(collect(process.getErrorStream(), line -> {
            synchronized (err) {
                err.append(line).append('\n');
            }
        }));
    }

    private interface LineSink {
        void accept(String line);
    }

    private static Thread collect(InputStream stream, LineSink sink) {
        Thread reader = new Thread(() -> {
            try (BufferedReader lines = new BufferedReader(new InputStreamReader(stream, StandardCharsets.UTF_8))) {
                for (String line = lines.readLine(); line != null; line = lines.readLine()) {
                    sink.accept(line);
                }
            } catch (IOException closed) {
                sink.accept("(output closed: " + closed.getMessage() + ")");
            }
        });
        reader.setDaemon(true);
        reader.start();
        return reader;
    }

    /** Waits, with a generous limit, for an output line that matches; returns it. */
    String awaitLine(Predicate<String> matching, String what) throws InterruptedException {
        long deadline = System.currentTimeMillis() + TestClient.TIMEOUT_MILLIS;
        synchronized (out) {
            while (true) {
                for (String line : out) {
                    if (matching.test(line)) {
                        return line;
                    }
                }
                long left = deadline - System.currentTimeMillis();
                if (left <= 0) {
                    throw new AssertionError("no output line " + what + "; output:\n" + String.join("\n", out)
                            + "\nerrors:\n" + errText());
                }
                out.wait(left);
            }
        }
    }

    /** The port from the "listening on 127.0.0.1:PORT" line. */
    int awaitPort() throws InterruptedException {
        String line = awaitLine(text -> text.startsWith("listening on 127.0.0.1:"), "listening on ...");
        return Integer.parseInt(line.substring("listening on 127.0.0.1:".length()));
    }

    List<String> outLines() {
        synchronized (out) {
            return List.copyOf(out);
        }
    }

    String errText() {
        synchronized (err) {
            return err.toString();
        }
    }

    Path endpointFile() {
        return dataHome.resolve("Vaultor").resolve(".ui_info");
    }

    /** The exit code, waiting with a generous limit; all output has been collected by then. */
    int awaitExit() throws InterruptedException {
        if (!process.waitFor(TestClient.TIMEOUT_MILLIS, TimeUnit.MILLISECONDS)) {
            throw new AssertionError("the simulator did not exit; errors:\n" + errText());
        }
        for (Thread reader : readers) {
            reader.join(TestClient.TIMEOUT_MILLIS);
        }
        return process.exitValue();
    }

    /** Asks the simulator to stop as a user would (SIGTERM) and waits for it. */
    int terminate() throws InterruptedException {
        process.destroy();
        return awaitExit();
    }

    @Override
    public void close() throws IOException {
        process.destroyForcibly();
        try (Stream<Path> paths = Files.walk(dataHome)) {
            for (Path path : paths.sorted(Comparator.reverseOrder()).toList()) {
                Files.deleteIfExists(path);
            }
        }
    }
}
