package com.vaultor.sim.tests;

import com.vaultor.sim.protocol.MessageType;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.attribute.PosixFilePermissions;
import java.util.List;

/** The built jar as a program: start-up output, endpoint file, logging, shutdown, bad options. */
public final class ProcessTest {
    @Test
    public void startsWritesTheEndpointFileAndCleansUp() throws Exception {
        try (SimProcess sim = new SimProcess("--destinations", "3", "--sources", "1", "--log")) {
            int port = sim.awaitPort();
            String endpoint = Files.readString(sim.endpointFile(), StandardCharsets.UTF_8);
            String[] fields = endpoint.split(",");
            Check.equal(3, fields.length, "fields of " + endpoint);
            Check.equal(Integer.toString(port), fields[0], "port field");
            Check.isTrue(fields[1].matches("[0-9a-f]{32}"), "a random token: " + fields[1]);
            Check.equal("127.0.0.1", fields[2], "address field");
            Check.equal("rw-------", PosixFilePermissions.toString(Files.getPosixFilePermissions(sim.endpointFile())),
                    "only the owner may read the token");
            List<String> before = sim.outLines();
            Check.equal(5L, before.stream().filter(line -> line.startsWith("computer ")).count(),
                    "world overview: self, three destinations, one source, printed before listening");
            Check.isTrue(before.get(1).matches("computer destination \\d+ Vaultor Cloud"), before.get(1));

            try (TestClient client = new TestClient(port)) {
                client.register(fields[1]);
                client.send(MessageType.GetBackupStatsSummaryMessage, "");
                client.receive(MessageType.BackupStatsSummaryMessage);
            }
            sim.awaitLine(line -> line.startsWith("send 95 BackupStatsSummaryMessage "), "for the summary");
            sim.awaitLine(line -> line.equals("recv 24549 GetBackupStatsSummaryMessage"), "for the summary request");
            sim.awaitLine(line -> line.startsWith("send -15227 AppStateMessage {\""), "for the app state");
            Check.equal(143, sim.terminate(), "exit code after SIGTERM");
            Check.isTrue(!Files.exists(sim.endpointFile()), "the endpoint file is removed on exit");
        }
    }

    @Test
    public void shutdownAfterTellsClientsAndExits() throws Exception {
        try (SimProcess sim = new SimProcess("--shutdown-after", "3", "--port", "0")) {
            int port = sim.awaitPort();
            String token = Files.readString(sim.endpointFile(), StandardCharsets.UTF_8).split(",")[1];
            try (TestClient client = new TestClient(port)) {
                client.register(token);
                client.receive(MessageType.ShutdownMessage);
                Check.isTrue(client.closedByPeer(), "the connection ends after the shutdown message");
            }
            Check.equal(0, sim.awaitExit(), "exit code");
            Check.isTrue(!Files.exists(sim.endpointFile()), "the endpoint file is removed");
            Check.isTrue(sim.outLines().stream().noneMatch(line -> line.startsWith("recv ")),
                    "no frame lines without --log");
        }
    }

    @Test
    public void badCommandLinesAreRefused() throws Exception {
        String[][] cases = {
            {"--destinations", "many"},
            {"--speed", "0"},
            {"--port", "70000"},
            {"--frobnicate"},
            {"--offline"},
            {"--offline", "12345"},
            {"--misbehave-first", "-1"},
        };
        for (String[] args : cases) {
            try (SimProcess sim = new SimProcess(args)) {
                Check.equal(2, sim.awaitExit(), "exit code for " + String.join(" ", args));
                Check.isTrue(sim.errText().startsWith("vaultor-sim: "), "a reason: " + sim.errText());
                Check.isTrue(!Files.exists(sim.endpointFile()), "no endpoint file");
            }
        }
    }
}
