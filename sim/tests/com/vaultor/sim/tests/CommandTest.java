package com.vaultor.sim.tests;

import com.vaultor.sim.protocol.MessageType;
import com.vaultor.sim.world.Destination;
import java.math.BigDecimal;
import java.util.List;
import java.util.Map;

/** Pause and resume, of the whole service and of one destination, over the wire. */
public final class CommandTest {
    private static final long DAY_MS = 1440L * 60_000;

    private static Map<String, Object> command(TestClient client, MessageType type, String payload) throws Exception {
        client.send(type, payload);
        return Json.object(Json.parse(client.receive(MessageType.CommandTrayResponseMessage)), "response");
    }

    private static Map<String, Object> destinationStats(TestClient client, long guid) throws Exception {
        client.send(MessageType.StatsRequestMessage, "");
        Map<String, Object> stats = Json.object(Json.parse(client.receive(MessageType.StatsMessage)), "stats");
        return Json.object(Json.object(stats, "OutboundStats"), Long.toString(guid));
    }

    @Test
    public void pauseTargetPausesEverySetAndNegativeMinutesResume() throws Exception {
        try (InProcessSim sim = new InProcessSim("--destinations", "2"); TestClient client = sim.client()) {
            client.register(sim.token());
            Destination nas = sim.world().destinations().get(1);
            long before = System.currentTimeMillis();
            Map<String, Object> paused = command(client, MessageType.CommandTrayRequestMessage,
                    "pause.target " + nas.guid() + " 1440");
            Check.equal(Boolean.TRUE, paused.get("success"), "success");
            Check.equal(nas.sets().size(), ((List<?>) paused.get("results")).size(), "one result per set");
            Map<String, Object> stats = destinationStats(client, nas.guid());
            for (var progress : nas.sets()) {
                Map<String, Object> set = Json.object(stats, Long.toString(progress.set().id()));
                Check.equal(Boolean.TRUE, set.get("paused"), "set " + progress.set().id() + " paused");
                long resume = Json.integer(set, "resumeTime");
                Check.isTrue(resume >= before + DAY_MS && resume <= System.currentTimeMillis() + DAY_MS,
                        "resumes a day later: " + resume);
            }
            long minutes = -(System.currentTimeMillis() / 1000 / 10);
            Map<String, Object> resumed = command(client, MessageType.CommandTrayRequestMessage,
                    "pause.target " + nas.guid() + " " + minutes + " 2");
            Check.equal(Boolean.TRUE, resumed.get("success"), "resume succeeds");
            stats = destinationStats(client, nas.guid());
            Check.equal(Boolean.FALSE, Json.object(stats, "2").get("paused"), "set 2 resumed");
            Check.equal(0L, Json.integer(Json.object(stats, "2"), "resumeTime"), "no resume time");
            Check.equal(Boolean.TRUE, Json.object(stats, "1").get("paused"), "set 1 still paused");
        }
    }

    @Test
    public void badCommandsFailWithAReason() throws Exception {
        try (InProcessSim sim = new InProcessSim("--destinations", "1"); TestClient client = sim.client()) {
            client.register(sim.token());
            long cloud = sim.world().destinations().get(0).guid();
            Map<String, String> cases = Map.of(
                    "backup.now", "unknown command: backup.now",
                    "pause.target", "usage: pause.target GUID MINUTES [SETID]",
                    "pause.target " + cloud + " soon", "usage: pause.target GUID MINUTES [SETID]",
                    "pause.target 12345 60", "no destination with GUID 12345",
                    "pause.target " + cloud + " 60 99", "destination " + cloud + " has no set 99");
            for (Map.Entry<String, String> example : cases.entrySet()) {
                Map<String, Object> response = command(client, MessageType.CommandTrayRequestMessage, example.getKey());
                Check.equal(Boolean.FALSE, response.get("success"), "success of '" + example.getKey() + "'");
                Check.equal(example.getValue(), response.get("error"), "error of '" + example.getKey() + "'");
                Check.equal(List.of(), response.get("results"), "results of '" + example.getKey() + "'");
            }
        }
    }

    @Test
    public void pauseAndResumeTheWholeService() throws Exception {
        try (InProcessSim sim = new InProcessSim(); TestClient client = sim.client()) {
            client.register(sim.token());
            long before = System.currentTimeMillis();
            Map<String, Object> paused = command(client, MessageType.PauseSystemMessage, "60");
            Check.equal(Boolean.TRUE, paused.get("success"), "pause succeeds");
            client.send(MessageType.StatsRequestMessage, "");
            Map<String, Object> stats = Json.object(Json.parse(client.receive(MessageType.StatsMessage)), "stats");
            long resume = Json.integer(stats, "resumeSystemTime");
            Check.isTrue(resume >= before + 3_600_000 && resume <= System.currentTimeMillis() + 3_600_000,
                    "resumeSystemTime an hour ahead, in ms: " + resume);
            client.send(MessageType.GetBackupStatsSummaryMessage, "");
            String pauseToken = client.receive(MessageType.BackupStatsSummaryMessage).split("\\|")[3];
            Check.equal(new BigDecimal(resume), new BigDecimal(pauseToken), "the summary's pause time is the same ms");

            Check.equal(Boolean.FALSE, command(client, MessageType.PauseSystemMessage, "an hour").get("success"),
                    "minutes must be a number");
            Check.equal(Boolean.TRUE, command(client, MessageType.ResumeSystemMessage, "").get("success"), "resume");
            client.send(MessageType.StatsRequestMessage, "");
            stats = Json.object(Json.parse(client.receive(MessageType.StatsMessage)), "stats");
            Check.equal(0L, Json.integer(stats, "resumeSystemTime"), "not paused any more");
        }
    }
}
