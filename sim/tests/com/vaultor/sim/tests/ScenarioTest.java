package com.vaultor.sim.tests;

import com.vaultor.sim.protocol.MessageType;
import com.vaultor.sim.world.World;
import com.vaultor.sim.world.WorldBuilder;
import java.math.BigDecimal;
import java.util.Arrays;
import java.util.HexFormat;
import java.util.Map;

/** Each scenario switch, exercised once against a simulator on loopback. */
public final class ScenarioTest {
    private static final long SEED = 7;

    /** The GUID of the index-th destination in the world that --seed 7 --destinations 3 builds. */
    private static long destinationGuid(int index) {
        World world = new WorldBuilder(SEED, 3, 1).build(0);
        return world.destinations().get(index).guid();
    }

    @Test
    public void seedAndCountsShapeTheWorld() throws Exception {
        try (InProcessSim sim = new InProcessSim("--seed", "7", "--destinations", "3", "--sources", "1");
                TestClient client = sim.client()) {
            Map<String, Object> appState = Json.object(Json.parse(client.register(sim.token())), "app state");
            Check.equal(3, Json.object(appState, "OutboundStats").size(), "destinations");
            Check.equal(1, Json.object(appState, "InboundStats").size(), "sources");
            Check.isTrue(Json.object(appState, "computers").containsKey(Long.toString(destinationGuid(2))),
                    "the same seed gives the same GUIDs");
        }
    }

    @Test
    public void speedMakesTheWorldMove() throws Exception {
        try (InProcessSim sim = new InProcessSim("--speed", "20000", "--destinations", "1", "--sources", "0");
                TestClient client = sim.client()) {
            client.register(sim.token());
            String cloud = Long.toString(sim.world().destinations().get(0).guid());
            long firstCompleted = lastCompleted(client, cloud);
            long deadline = System.nanoTime() + TestClient.TIMEOUT_MILLIS * 1_000_000L;
            while (lastCompleted(client, cloud) == firstCompleted) {
                Check.isTrue(System.nanoTime() < deadline, "a backup run completed while we watched");
                Thread.sleep(50);
            }
        }
    }

    private static long lastCompleted(TestClient client, String guid) throws Exception {
        client.send(MessageType.StatsRequestMessage, "");
        Map<String, Object> stats = Json.object(Json.parse(client.receive(MessageType.StatsMessage)), "stats");
        Map<String, Object> set = Json.object(Json.object(Json.object(stats, "OutboundStats"), guid), "1");
        return Json.integer(set, "lastCompletedBackupTime");
    }

    @Test
    public void legacyServiceSpeaksOnlyTheOlderProtocol() throws Exception {
        try (InProcessSim sim = new InProcessSim("--legacy"); TestClient client = sim.client()) {
            Check.equal("running|false|Vaultor|Vaultor|0", client.preRegister(sim.token()), "version 0");
            client.send(MessageType.SetMessageTypeMessage, TestClient.PREFIX + "IBaseTrayMessage|1");
            Check.equal("false", client.receive(MessageType.SetMessageTypeResultMessage), "no base tray interface");
            client.send(MessageType.AppStateRequestMessage, "");
            client.send(MessageType.StatsRequestMessage, "");
            client.send(MessageType.GetComputersMessage, "false");
            client.send(MessageType.GetBackupStatsSummaryMessage, "");
            client.send(MessageType.AlertRequestMessage, "");
            client.receive(MessageType.ComputersMessage);
            Check.equal(14, client.receive(MessageType.BackupStatsSummaryMessage).split("\\|", -1).length, "summary");
            Check.equal("0", client.receive(MessageType.AlertCountMessage), "alert count");
            sim.awaitNote("dropped AppStateRequestMessage: a legacy service does not know this type");
            sim.awaitNote("dropped StatsRequestMessage: a legacy service does not know this type");
        }
    }

    @Test
    public void offlineDestinationIsReportedAndAnnounced() throws Exception {
        long guid = destinationGuid(1);
        try (InProcessSim sim = new InProcessSim("--seed", "7", "--destinations", "3", "--offline", "" + guid);
                TestClient client = sim.client()) {
            Map<String, Object> appState = Json.object(Json.parse(client.register(sim.token())), "app state");
            Check.equal(Long.toString(guid), client.receive(MessageType.ComputerDisconnectedMessage), "announced");
            Map<String, Object> stats = Json.object(Json.object(appState, "OutboundStats"), Long.toString(guid));
            Check.equal(Boolean.FALSE, stats.get("connected"), "connected");
            Check.equal(Boolean.FALSE, stats.get("backupReady"), "backupReady");
            Check.equal("WARNING", Json.object(stats, "1").get("status"), "set status");
            Check.equal("WARNING", appState.get("backupStatus"), "overall status");
        }
    }

    @Test
    public void outOfSpaceDestinationIsSevere() throws Exception {
        long guid = destinationGuid(2);
        try (InProcessSim sim = new InProcessSim("--seed", "7", "--destinations", "3", "--out-of-space", "" + guid);
                TestClient client = sim.client()) {
            Map<String, Object> appState = Json.object(Json.parse(client.register(sim.token())), "app state");
            Map<String, Object> stats = Json.object(Json.object(appState, "OutboundStats"), Long.toString(guid));
            Check.equal(Boolean.TRUE, stats.get("outOfSpace"), "outOfSpace");
            Check.equal(Boolean.TRUE, stats.get("connected"), "still connected");
            Check.equal("OUT_OF_SPACE", stats.get("backupNotReadyCode"), "not-ready code");
            Check.equal("SEVERE", appState.get("backupStatus"), "overall status");
        }
    }

    @Test
    public void alertIsShownAndCounted() throws Exception {
        try (InProcessSim sim = new InProcessSim("--alert"); TestClient client = sim.client()) {
            Map<String, Object> appState = Json.object(Json.parse(client.register(sim.token())), "app state");
            Check.equal(Boolean.TRUE, appState.get("alert"), "alert in the app state");
            Check.equal("1", client.receive(MessageType.AlertCountMessage), "unsolicited alert count");
            client.receive(MessageType.TrayPopupMessage);
            client.send(MessageType.AlertRequestMessage, "");
            Check.equal("1", client.receive(MessageType.AlertCountMessage), "asked alert count");
        }
    }

    @Test
    public void noAnswerReadsButNeverAnswers() throws Exception {
        try (InProcessSim sim = new InProcessSim("--no-answer"); TestClient client = sim.client()) {
            client.send(MessageType.SetMessageTypeMessage, TestClient.PREFIX + "ITrayMessage|1");
            client.send(MessageType.StatusQueryMessage, "VTT|" + sim.token());
            sim.awaitNote("StatusTrayMessage withheld");
            Check.equal(0, client.receiveUntilQuiet().length, "bytes received");
            Check.isTrue(sim.outLines().contains("recv 15105 StatusQueryMessage VTT|" + sim.token()),
                    "the query was read");
        }
    }

    @Test
    public void misbehaviourCanBeLimitedToTheFirstConnections() throws Exception {
        try (InProcessSim sim = new InProcessSim("--no-answer", "--misbehave-first", "2")) {
            for (int connection = 1; connection <= 2; connection++) {
                try (TestClient client = sim.client()) {
                    client.send(MessageType.SetMessageTypeMessage, TestClient.PREFIX + "ITrayMessage|1");
                    client.send(MessageType.StatusQueryMessage, "VTT|" + sim.token());
                    Check.equal(0, client.receiveUntilQuiet().length, "bytes received on connection " + connection);
                }
            }
            try (TestClient answered = sim.client()) {
                Json.object(Json.parse(answered.register(sim.token())), "the third connection registers");
            }
        }
    }

    @Test
    public void stallMidFrameSendsHalfAFrame() throws Exception {
        try (InProcessSim sim = new InProcessSim("--stall-mid-frame"); TestClient client = sim.client()) {
            client.send(MessageType.SetMessageTypeMessage, TestClient.PREFIX + "ITrayMessage|1");
            client.send(MessageType.StatusQueryMessage, "VTT|" + sim.token());
            sim.awaitNote("(--stall-mid-frame)");
            byte[] whole = Wire.frame(-14619, "true");
            Check.bytes(Arrays.copyOf(whole, 6 + 2), client.receiveUntilQuiet(),
                    "the header and half the payload of the first answer, then nothing");
        }
    }

    @Test
    public void garbageSendsANegativeLength() throws Exception {
        try (InProcessSim sim = new InProcessSim("--garbage"); TestClient client = sim.client()) {
            client.send(MessageType.SetMessageTypeMessage, TestClient.PREFIX + "ITrayMessage|1");
            sim.awaitNote("(--garbage)");
            Check.bytes(HexFormat.of().parseHex("c6e5ffffffff"), client.receiveUntilQuiet(), "a header with length -1");
        }
    }

    @Test
    public void restoresAppearInTheStatistics() throws Exception {
        try (InProcessSim sim = new InProcessSim("--speed", "100", "--destinations", "1");
                TestClient client = sim.client()) {
            client.register(sim.token());
            long deadline = System.nanoTime() + TestClient.TIMEOUT_MILLIS * 1_000_000L;
            Map<String, Object> restores;
            do {
                Check.isTrue(System.nanoTime() < deadline, "a restore started while we watched");
                Thread.sleep(50);
                client.send(MessageType.StatsRequestMessage, "");
                restores = Json.object(Json.object(Json.parse(client.receive(MessageType.StatsMessage)), "stats"),
                        "RestoreStats");
            } while (restores.isEmpty());
            Map<String, Object> restore = Json.object(restores.values().iterator().next(), "restore");
            Check.equal(new BigDecimal(sim.world().destinations().get(0).guid()), restore.get("sourceGuid"), "from");
            Check.equal(new BigDecimal(sim.world().self().guid()), restore.get("targetGuid"), "to");
            Check.isTrue(restore.get("restoring") instanceof Boolean, "restoring flag");
            Check.isTrue(restore.get("id") instanceof BigDecimal, "restore id");
        }
    }

    @Test
    public void registeredClientsHearTheLaptopComeAndGo() throws Exception {
        try (InProcessSim sim = new InProcessSim("--speed", "200", "--destinations", "0", "--sources", "1");
                TestClient client = sim.client()) {
            client.register(sim.token());
            String laptop = Long.toString(sim.world().sources().get(0).guid());
            Check.equal(laptop, client.receive(MessageType.ComputerDisconnectedMessage), "the laptop left");
            Check.equal(laptop, client.receive(MessageType.ComputerConnectedMessage), "the laptop came back");
        }
    }
}
