package com.vaultor.sim.protocol;

import java.util.HashMap;
import java.util.Map;
import java.util.Optional;

/**
 * Every message type of the tray protocol, with its 16-bit ID and the direction it travels as
 * seen from the tray client. The wire class name (prefix plus enum name) is what a client
 * announces before it sends a type for the first time, so the enum names must stay exactly as
 * the service spells its classes.
 */
public enum MessageType {
    VTClassMessage(-32669, Direction.TO_SERVICE),
    SetMessageTypeMessage(-25845, Direction.TO_SERVICE),
    StatusQueryMessage(15105, Direction.TO_SERVICE),
    GetComputersMessage(-19328, Direction.TO_SERVICE),
    GetBackupStatsSummaryMessage(24549, Direction.TO_SERVICE),
    AlertRequestMessage(6111, Direction.TO_SERVICE),
    StatsRequestMessage(-6166, Direction.TO_SERVICE),
    AppStateRequestMessage(13086, Direction.TO_SERVICE),
    PauseSystemMessage(-7397, Direction.TO_SERVICE),
    ResumeSystemMessage(-18469, Direction.TO_SERVICE),
    WebLoginKeyTrayRequestMessage(8871, Direction.TO_SERVICE),
    CommandTrayRequestMessage(-30964, Direction.TO_SERVICE),
    StatusTrayMessage(5423, Direction.TO_CLIENT),
    ShutdownMessage(14493, Direction.TO_CLIENT),
    AlertCountMessage(155, Direction.TO_CLIENT),
    ComputerConnectedMessage(-729, Direction.TO_CLIENT),
    ComputerDisconnectedMessage(2586, Direction.TO_CLIENT),
    ComputersMessage(-669, Direction.TO_CLIENT),
    BackupStatsSummaryMessage(95, Direction.TO_CLIENT),
    StatsMessage(-23102, Direction.TO_CLIENT),
    AppStateMessage(-15227, Direction.TO_CLIENT),
    CommandTrayResponseMessage(10303, Direction.TO_CLIENT),
    WebLoginKeyTrayResponseMessage(-17837, Direction.TO_CLIENT),
    TrayPopupMessage(8738, Direction.TO_CLIENT),
    /** The service's acknowledgement of a SetMessageTypeMessage; it has no class on the client. */
    SetMessageTypeResultMessage(-14619, Direction.TO_CLIENT);

    /** Which way a type travels, seen from the tray client. */
    public enum Direction {
        TO_SERVICE,
        TO_CLIENT
    }

    public static final String WIRE_PREFIX = "com.keepery.service.ui.message.";

    private static final Map<Short, MessageType> BY_ID = new HashMap<>();
    private static final Map<String, MessageType> BY_WIRE_NAME = new HashMap<>();

    static {
        for (MessageType type : values()) {
            BY_ID.put(type.id, type);
            BY_WIRE_NAME.put(type.wireClassName(), type);
        }
    }

    private final short id;
    private final Direction direction;

    MessageType(int id, Direction direction) {
        this.id = (short) id;
        this.direction = direction;
    }

    public short id() {
        return id;
    }

    public Direction direction() {
        return direction;
    }

    public String wireClassName() {
        return WIRE_PREFIX + name();
    }

    public static Optional<MessageType> byId(short id) {
        return Optional.ofNullable(BY_ID.get(id));
    }

    public static Optional<MessageType> byWireClassName(String name) {
        return Optional.ofNullable(BY_WIRE_NAME.get(name));
    }

    /** The class name used in log lines: the type's name, or "unknown" for an ID outside the catalogue. */
    public static String nameForId(short id) {
        return byId(id).map(Enum::name).orElse("unknown");
    }
}
