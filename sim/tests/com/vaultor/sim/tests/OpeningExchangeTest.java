package com.vaultor.sim.tests;

import com.vaultor.sim.protocol.MessageType;
import com.vaultor.sim.world.Destination;
import com.vaultor.sim.world.World;
import java.math.BigDecimal;
import java.nio.ByteBuffer;
import java.nio.charset.StandardCharsets;
import java.util.List;
import java.util.Map;

/** The opening exchange of the current protocol, byte for byte, and the documents it brings. */
public final class OpeningExchangeTest {
    private static final String PREFIX = TestClient.PREFIX;

    @Test
    public void openingExchangeByteForByte() throws Exception {
        try (InProcessSim sim = new InProcessSim("--destinations", "3", "--sources", "1");
                TestClient client = sim.client()) {
            String token = sim.token();
            long timestamp = 1_765_000_000_123L;
            client.sendRaw(Wire.concat(
                    Wire.frame(-32669, "-25845|" + PREFIX + "SetMessageTypeMessage"),
                    Wire.frame(-25845, PREFIX + "ITrayMessage|" + timestamp),
                    Wire.frame(-32669, "15105|" + PREFIX + "StatusQueryMessage"),
                    Wire.frame(15105, "VTT|" + token)));
            Check.bytes(Wire.frame(-14619, "true"), client.receiveBytes(10), "answer to the tray interface");
            Check.bytes(Wire.frame(5423, "running|false|Vaultor|Vaultor|1"), client.receiveBytes(6 + 31),
                    "status tray message, version 1");

            client.sendRaw(Wire.concat(
                    Wire.frame(-25845, PREFIX + "IBaseTrayMessage|" + timestamp),
                    Wire.frame(-32669, "13086|" + PREFIX + "AppStateRequestMessage"),
                    Wire.frame(13086, "")));
            Check.bytes(Wire.frame(-14619, "true"), client.receiveBytes(10), "answer to the base tray interface");
            byte[] header = client.receiveBytes(6);
            Check.bytes(new byte[] {(byte) 0xC4, (byte) 0x85}, new byte[] {header[0], header[1]}, "app-state ID");
            int length = ByteBuffer.wrap(header).getInt(2);
            String appState = new String(client.receiveBytes(length), StandardCharsets.UTF_8);
            checkAppState(Json.object(Json.parse(appState), "app state"), sim.world(), sim.port());

            List<String> frames = sim.outLines().stream()
                    .filter(line -> line.startsWith("recv ") || line.startsWith("send "))
                    .limit(10)
                    .map(line -> line.startsWith("send -15227 ") ? "send -15227 AppStateMessage {...}" : line)
                    .toList();
            Check.equal(List.of(
                    "recv -32669 VTClassMessage -25845|" + PREFIX + "SetMessageTypeMessage",
                    "recv -25845 SetMessageTypeMessage " + PREFIX + "ITrayMessage|" + timestamp,
                    "send -14619 SetMessageTypeResultMessage true",
                    "recv -32669 VTClassMessage 15105|" + PREFIX + "StatusQueryMessage",
                    "recv 15105 StatusQueryMessage VTT|" + token,
                    "send 5423 StatusTrayMessage running|false|Vaultor|Vaultor|1",
                    "recv -25845 SetMessageTypeMessage " + PREFIX + "IBaseTrayMessage|" + timestamp,
                    "send -14619 SetMessageTypeResultMessage true",
                    "recv -32669 VTClassMessage 13086|" + PREFIX + "AppStateRequestMessage",
                    "recv 13086 AppStateRequestMessage"), frames, "the logged exchange");
        }
    }

    private static void checkAppState(Map<String, Object> document, World world, int port) {
        Check.equal(Boolean.FALSE, document.get("alert"), "alert");
        Check.equal("Vaultor", document.get("appBaseName"), "appBaseName");
        Check.equal("linux", document.get("os"), "os");
        Check.equal("en_US", document.get("locale"), "locale");
        Check.equal(Boolean.FALSE, document.get("upgrading"), "upgrading");
        Check.isTrue(((String) document.get("websiteHost")).startsWith("127.0.0.1:"), "websiteHost on loopback");
        Check.isTrue(document.get("versionNumber") instanceof BigDecimal, "versionNumber is a number");

        Map<String, Object> computers = Json.object(document, "computers");
        Check.equal(1 + 3 + 1 + 1, computers.size(), "self, three destinations, one source, one other");
        Map<String, Object> self = Json.object(computers, Long.toString(world.self().guid()));
        Check.equal(world.self().guid(), Json.integer(self, "guid"), "self GUID survives exactly");
        Check.equal(Boolean.TRUE, self.get("self"), "self flag");
        for (Destination destination : world.destinations()) {
            Map<String, Object> computer = Json.object(computers, Long.toString(destination.guid()));
            Check.equal(Boolean.TRUE, computer.get("target"), "target flag of " + destination.computer().name());
            Check.equal(destination.computer().cloud(), computer.get("vtc"), "cloud flag");
        }
        Map<String, Object> source = Json.object(computers, Long.toString(world.sources().get(0).guid()));
        Check.equal(Boolean.TRUE, source.get("source"), "source flag");

        Map<String, Object> sets = Json.object(document, "sets");
        Check.equal(3, sets.size(), "three sets");
        Map<String, Object> documents = Json.object(sets, "1");
        Check.equal("Documents", documents.get("name"), "first set");
        Check.equal(30L, Json.integer(documents, "priority"), "priority");
        Check.equal(Boolean.FALSE, documents.get("isPathSetEmpty"), "isPathSetEmpty");
        Check.equal(world.destinations().stream().map(d -> new BigDecimal(d.guid())).toList(),
                documents.get("destinations"), "Documents goes to every destination");

        Map<String, Object> outbound = Json.object(document, "OutboundStats");
        Check.equal(3, outbound.size(), "one entry per destination");
        for (Destination destination : world.destinations()) {
            Map<String, Object> stats = Json.object(outbound, Long.toString(destination.guid()));
            Check.equal(destination.guid(), Json.integer(stats, "guid"), "guid inside the entry");
            Check.equal(Boolean.TRUE, stats.get("connected"), "connected");
            for (var progress : destination.sets()) {
                Map<String, Object> set = Json.object(stats, Long.toString(progress.set().id()));
                Check.equal(progress.set().id(), Json.integer(set, "setId"), "setId inside the set entry");
                Check.equal("SAFE", set.get("status"), "status");
                BigDecimal ratio = (BigDecimal) set.get("completedRatio");
                Check.isTrue(ratio.signum() >= 0 && ratio.compareTo(BigDecimal.ONE) <= 0,
                        "ratio is a fraction: " + ratio);
                for (String key : List.of("estimatedTimeRemainingInSec", "lastCompletedBackupTime", "nextBackupTime",
                        "numFilesScanned", "numBytesScanned", "numRemainingFiles", "numRemainingBytes", "resumeTime")) {
                    Json.integer(set, key);
                }
                Json.object(set, "analyzingFileTodo");
                Json.object(set, "sendingFileTodo");
            }
        }
        Map<String, Object> inbound = Json.object(document, "InboundStats");
        Map<String, Object> sourceStats = Json.object(inbound, Long.toString(world.sources().get(0).guid()));
        Check.equal(world.sources().get(0).guid(), Json.integer(sourceStats, "guid"), "source guid inside");
        Json.object(document, "RestoreStats");
        Check.equal(0L, Json.integer(document, "resumeSystemTime"), "not paused");
        Check.equal("SAFE", document.get("backupStatus"), "backupStatus");
    }

    @Test
    public void requestsAfterRegistrationAreAnswered() throws Exception {
        try (InProcessSim sim = new InProcessSim("--destinations", "2", "--sources", "1");
                TestClient client = sim.client()) {
            client.register(sim.token());

            client.send(MessageType.StatsRequestMessage, "");
            Map<String, Object> stats = Json.object(Json.parse(client.receive(MessageType.StatsMessage)), "stats");
            Check.equal(2, Json.object(stats, "OutboundStats").size(), "OutboundStats");
            Check.isTrue(!stats.containsKey("computers"), "a stats document carries no computers");

            client.send(MessageType.GetBackupStatsSummaryMessage, "");
            String summary = client.receive(MessageType.BackupStatsSummaryMessage);
            Check.equal(14, summary.split("\\|", -1).length, "summary tokens");

            client.send(MessageType.GetComputersMessage, "false");
            String[] computers = client.receive(MessageType.ComputersMessage).split("\\|", -1);
            Check.equal("5", computers[0], "record count");

            client.send(MessageType.AlertRequestMessage, "");
            Check.equal("0", client.receive(MessageType.AlertCountMessage), "no alerts");

            client.send(MessageType.WebLoginKeyTrayRequestMessage, "");
            String response = client.receive(MessageType.WebLoginKeyTrayResponseMessage);
            Map<String, Object> login = Json.object(Json.parse(response), "login");
            String address = (String) login.get("webLoginKey");
            Check.isTrue(address.startsWith("http://127.0.0.1:"), "a loopback address: " + address);
            Check.equal(sim.world().self().guid(), Json.integer(login, "computer"), "computer");
            Check.equal(200, AccountPageProbe.status(address), "the account page answers");
        }
    }
}
