package com.vaultor.sim.server;

import com.vaultor.sim.json.JsonWriter;
import com.vaultor.sim.protocol.Frame;
import com.vaultor.sim.protocol.MessageType;
import com.vaultor.sim.protocol.Tokens;
import com.vaultor.sim.world.AppStateDocument;
import com.vaultor.sim.world.CommandResult;
import com.vaultor.sim.world.LegacyTokens;
import com.vaultor.sim.world.StatsDocument;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.security.MessageDigest;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;

/**
 * Answers one tray connection the way a strict service would. A client first names the tray
 * interface and presents the token from the endpoint file; until then only those two messages
 * are heard. The current protocol additionally needs the base tray interface before app-state
 * and stats requests; a legacy service does not know those at all. Everything refused is
 * noted and dropped, so client mistakes show up in the simulator's output.
 */
final class TrayRequestHandler {
    static final String TRAY_INTERFACE = MessageType.WIRE_PREFIX + "ITrayMessage";
    static final String BASE_TRAY_INTERFACE = MessageType.WIRE_PREFIX + "IBaseTrayMessage";
    static final String APP_NAME = "Vaultor";

    private final ServiceContext service;
    private final Outbox outbox;
    private final SimLog log;
    private final String connection;
    private final long connectedSince = System.currentTimeMillis();
    private String trayInterface;
    private volatile boolean authenticated;
    private volatile boolean registered;

    TrayRequestHandler(ServiceContext service, Outbox outbox, SimLog log, String connection) {
        this.service = service;
        this.outbox = outbox;
        this.log = log;
        this.connection = connection;
    }

    /** The client presented the right token: it may hear about shutdowns. */
    boolean isAuthenticated() {
        return authenticated;
    }

    /** The client completed registration: it may hear about computers coming and going. */
    boolean isRegistered() {
        return registered;
    }

    void handle(MessageType type, Frame frame) throws IOException {
        if (type.direction() == MessageType.Direction.TO_CLIENT) {
            refuse(type, "a service does not accept this type from a client");
            return;
        }
        String text = new String(frame.payload(), StandardCharsets.UTF_8);
        switch (type) {
            case SetMessageTypeMessage -> setMessageType(Tokens.split(text));
            case StatusQueryMessage -> statusQuery(Tokens.split(text));
            default -> {
                if (!authenticated) {
                    refuse(type, "the client has not presented the token yet");
                } else {
                    request(type, text);
                }
            }
        }
    }

    private void setMessageType(List<String> tokens) throws IOException {
        String name = tokens.isEmpty() ? "" : tokens.get(0);
        boolean known = name.equals(TRAY_INTERFACE)
                || (name.equals(BASE_TRAY_INTERFACE) && !service.options().legacy());
        if (tokens.size() != 2 || !isNumber(tokens.get(1))) {
            log.note(connection + ": SetMessageTypeMessage should carry a name and a timestamp in ms: " + tokens);
        }
        if (known) {
            trayInterface = name;
        } else {
            log.note(connection + ": unknown message interface '" + name + "'");
        }
        outbox.send(Frame.text(MessageType.SetMessageTypeResultMessage, Boolean.toString(known)));
    }

    private void statusQuery(List<String> tokens) throws IOException {
        if (trayInterface == null) {
            refuse(MessageType.StatusQueryMessage, "no SetMessageTypeMessage named the tray interface first");
            return;
        }
        if (tokens.size() != 2 || !tokens.get(0).equals("VTT") || !isToken(tokens.get(1))) {
            refuse(MessageType.StatusQueryMessage, "wrong token");
            return;
        }
        authenticated = true;
        String version = service.options().legacy() ? "0" : "1";
        outbox.send(Frame.tokens(MessageType.StatusTrayMessage,
                List.of("running", "false", APP_NAME, APP_NAME, version)));
    }

    private void request(MessageType type, String text) throws IOException {
        switch (type) {
            case AppStateRequestMessage -> appState();
            case StatsRequestMessage -> {
                if (currentProtocol(type)) {
                    sendJson(MessageType.StatsMessage, StatsDocument.build(service.presentWorld(), service.now()));
                }
            }
            case GetBackupStatsSummaryMessage -> {
                sendTokens(MessageType.BackupStatsSummaryMessage,
                        LegacyTokens.summary(service.presentWorld(), service.now()));
                if (service.options().legacy()) {
                    completeRegistration();
                }
            }
            case GetComputersMessage -> sendTokens(MessageType.ComputersMessage,
                    LegacyTokens.computers(service.presentWorld(), connectedSince));
            case AlertRequestMessage -> sendTokens(MessageType.AlertCountMessage, List.of(alertCount()));
            case PauseSystemMessage -> {
                List<String> tokens = Tokens.split(text);
                respond(service.commands().pauseSystem(tokens.isEmpty() ? "" : tokens.get(0), service.now()));
            }
            case ResumeSystemMessage -> respond(service.commands().resumeSystem());
            case CommandTrayRequestMessage -> respond(service.commands().run(text, service.now()));
            case WebLoginKeyTrayRequestMessage -> webLoginKey();
            default -> throw new IllegalStateException(type + " reached the request switch");
        }
    }

    private void appState() throws IOException {
        if (!currentProtocol(MessageType.AppStateRequestMessage)) {
            return;
        }
        sendJson(MessageType.AppStateMessage,
                AppStateDocument.build(service.presentWorld(), service.now(), service.accountPage().host()));
        completeRegistration();
    }

    private boolean currentProtocol(MessageType type) {
        if (service.options().legacy()) {
            refuse(type, "a legacy service does not know this type");
            return false;
        }
        if (!BASE_TRAY_INTERFACE.equals(trayInterface)) {
            refuse(type, "no SetMessageTypeMessage named the base tray interface first");
            return false;
        }
        return true;
    }

    /** Tells a newly registered client what the scenario has in store for it. */
    private void completeRegistration() throws IOException {
        if (registered) {
            return;
        }
        registered = true;
        for (long guid : service.options().offline()) {
            sendTokens(MessageType.ComputerDisconnectedMessage, List.of(Long.toString(guid)));
        }
        if (service.options().alert()) {
            sendTokens(MessageType.AlertCountMessage, List.of(alertCount()));
            sendTokens(MessageType.TrayPopupMessage,
                    List.of(APP_NAME, "A backup needs your attention. Open Vaultor to see the alert."));
        }
    }

    private String alertCount() {
        return service.world().alert() ? "1" : "0";
    }

    private void webLoginKey() throws IOException {
        Map<String, Object> document = new LinkedHashMap<>();
        document.put("webLoginKey", service.accountPage().newLoginAddress());
        document.put("computer", service.world().self().guid());
        sendJson(MessageType.WebLoginKeyTrayResponseMessage, document);
    }

    private void respond(CommandResult result) throws IOException {
        sendJson(MessageType.CommandTrayResponseMessage, result.document());
    }

    private void sendJson(MessageType type, Map<String, Object> document) throws IOException {
        outbox.send(Frame.text(type, JsonWriter.write(document)));
    }

    private void sendTokens(MessageType type, List<String> tokens) throws IOException {
        outbox.send(Frame.tokens(type, tokens));
    }

    private void refuse(MessageType type, String reason) {
        log.note(connection + ": dropped " + type.name() + ": " + reason);
    }

    /** Compares in constant time, so the answer time tells nothing about the token. */
    private boolean isToken(String candidate) {
        return MessageDigest.isEqual(candidate.getBytes(StandardCharsets.UTF_8),
                service.token().getBytes(StandardCharsets.UTF_8));
    }

    private static boolean isNumber(String text) {
        try {
            Long.parseLong(text);
            return true;
        } catch (NumberFormatException notNumber) {
            return false;
        }
    }
}
