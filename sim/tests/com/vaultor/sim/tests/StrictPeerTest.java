package com.vaultor.sim.tests;

import com.vaultor.sim.protocol.MessageType;

/**
 * The simulator refuses what a strict service refuses: unannounced types, requests before the
 * token, wrong tokens, broken framing. Absence of an answer is shown by order: a later request
 * that is answered proves that nothing came for the refused one before it.
 */
public final class StrictPeerTest {
    @Test
    public void unannouncedFramesAreDropped() throws Exception {
        try (InProcessSim sim = new InProcessSim(); TestClient client = sim.client()) {
            client.register(sim.token());
            client.sendUnannounced(MessageType.StatsRequestMessage, "");
            client.send(MessageType.AlertRequestMessage, "");
            client.receive(MessageType.AlertCountMessage);
            sim.awaitNote("dropped StatsRequestMessage: its type was not announced on this connection");
            client.send(MessageType.StatsRequestMessage, "");
            client.receive(MessageType.StatsMessage);
        }
    }

    @Test
    public void announcementsMustMatchTheCatalogue() throws Exception {
        try (InProcessSim sim = new InProcessSim(); TestClient client = sim.client()) {
            client.register(sim.token());
            client.sendRaw(Wire.frame(-32669, "6111|" + TestClient.PREFIX + "StatsRequestMessage"));
            client.sendRaw(Wire.frame(-32669, "6111|" + TestClient.PREFIX + "NoSuchMessage"));
            client.sendUnannounced(MessageType.AlertRequestMessage, "");
            client.send(MessageType.GetBackupStatsSummaryMessage, "");
            client.receive(MessageType.BackupStatsSummaryMessage);
            sim.awaitNote("ignored announcement of StatsRequestMessage with ID 6111 instead of -6166");
            sim.awaitNote("ignored announcement of an unknown class");
        }
    }

    @Test
    public void typesTheServiceSendsAreNotAcceptedFromAClient() throws Exception {
        try (InProcessSim sim = new InProcessSim(); TestClient client = sim.client()) {
            client.register(sim.token());
            client.send(MessageType.StatsMessage, "{}");
            client.send(MessageType.AlertRequestMessage, "");
            client.receive(MessageType.AlertCountMessage);
            sim.awaitNote("dropped StatsMessage: a service does not accept this type from a client");
        }
    }

    @Test
    public void nothingIsAnsweredBeforeTheToken() throws Exception {
        try (InProcessSim sim = new InProcessSim(); TestClient client = sim.client()) {
            client.send(MessageType.StatusQueryMessage, "VTT|" + sim.token());
            client.send(MessageType.AlertRequestMessage, "");
            client.send(MessageType.SetMessageTypeMessage, TestClient.PREFIX + "ITrayMessage|1");
            client.send(MessageType.StatusQueryMessage, "VTT|not-the-token");
            client.send(MessageType.StatusQueryMessage, "VTT|" + sim.token() + "|extra");
            client.send(MessageType.StatusQueryMessage, "VTT|" + sim.token());
            Check.equal("true", client.receive(MessageType.SetMessageTypeResultMessage), "interface accepted");
            Check.equal("running|false|Vaultor|Vaultor|1", client.receive(MessageType.StatusTrayMessage),
                    "only the right token is answered");
            sim.awaitNote("dropped StatusQueryMessage: no SetMessageTypeMessage named the tray interface first");
            sim.awaitNote("dropped AlertRequestMessage: the client has not presented the token yet");
            sim.awaitNote("dropped StatusQueryMessage: wrong token");
        }
    }

    @Test
    public void theAppStateNeedsTheBaseTrayInterface() throws Exception {
        try (InProcessSim sim = new InProcessSim(); TestClient client = sim.client()) {
            client.preRegister(sim.token());
            client.send(MessageType.AppStateRequestMessage, "");
            client.send(MessageType.SetMessageTypeMessage, TestClient.PREFIX + "IUnknownMessage|1");
            Check.equal("false", client.receive(MessageType.SetMessageTypeResultMessage), "unknown interface refused");
            client.send(MessageType.SetMessageTypeMessage, TestClient.PREFIX + "IBaseTrayMessage|1");
            client.send(MessageType.AppStateRequestMessage, "");
            Check.equal("true", client.receive(MessageType.SetMessageTypeResultMessage), "base interface");
            client.receive(MessageType.AppStateMessage);
            sim.awaitNote("dropped AppStateRequestMessage: no SetMessageTypeMessage named the base tray"
                    + " interface first");
        }
    }

    @Test
    public void brokenLengthsCloseTheConnection() throws Exception {
        try (InProcessSim sim = new InProcessSim()) {
            try (TestClient client = sim.client()) {
                client.sendRaw(new byte[] {0x3B, 0x01, (byte) 0xFF, (byte) 0xFF, (byte) 0xFF, (byte) 0xFE});
                Check.isTrue(client.closedByPeer(), "a negative length closes the connection");
            }
            try (TestClient client = sim.client()) {
                client.sendRaw(new byte[] {0x3B, 0x01, 0x7F, (byte) 0xFF, (byte) 0xFF, (byte) 0xFF});
                Check.isTrue(client.closedByPeer(), "an oversized length closes the connection");
            }
            sim.awaitNote("has length -2");
            try (TestClient client = sim.client()) {
                client.register(sim.token());
            }
        }
    }

    @Test
    public void connectionsAreIndependent() throws Exception {
        try (InProcessSim sim = new InProcessSim(); TestClient first = sim.client(); TestClient second = sim.client()) {
            first.register(sim.token());
            second.send(MessageType.SetMessageTypeMessage, TestClient.PREFIX + "ITrayMessage|1");
            second.sendUnannounced(MessageType.StatusQueryMessage, "VTT|" + sim.token());
            second.send(MessageType.StatusQueryMessage, "VTT|" + sim.token());
            second.receive(MessageType.SetMessageTypeResultMessage);
            second.receive(MessageType.StatusTrayMessage);
            sim.awaitNote("connection 2: dropped StatusQueryMessage: its type was not announced on this connection");
            first.send(MessageType.AlertRequestMessage, "");
            first.receive(MessageType.AlertCountMessage);
        }
    }
}
