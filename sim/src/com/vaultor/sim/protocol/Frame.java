package com.vaultor.sim.protocol;

import java.nio.ByteBuffer;
import java.nio.charset.StandardCharsets;
import java.util.Arrays;
import java.util.List;

/** One frame of the tray protocol: a signed 16-bit ID and its payload bytes. */
public final class Frame {
    public static final int HEADER_SIZE = 6;

    private final short id;
    private final byte[] payload;

    public Frame(short id, byte[] payload) {
        this.id = id;
        this.payload = payload.clone();
    }

    public static Frame empty(MessageType type) {
        return new Frame(type.id(), new byte[0]);
    }

    public static Frame text(MessageType type, String text) {
        return new Frame(type.id(), text.getBytes(StandardCharsets.UTF_8));
    }

    public static Frame tokens(MessageType type, List<String> tokens) {
        return text(type, Tokens.join(tokens));
    }

    public short id() {
        return id;
    }

    public byte[] payload() {
        return payload.clone();
    }

    public int payloadLength() {
        return payload.length;
    }

    /** The six header bytes: the ID, then the payload length, both big-endian. */
    public static byte[] header(short id, int length) {
        return ByteBuffer.allocate(HEADER_SIZE).putShort(id).putInt(length).array();
    }

    /** The whole frame as it travels: header followed by the payload. */
    public byte[] encode() {
        return ByteBuffer.allocate(HEADER_SIZE + payload.length)
                .put(header(id, payload.length))
                .put(payload)
                .array();
    }

    @Override
    public boolean equals(Object other) {
        return other instanceof Frame frame && frame.id == id && Arrays.equals(frame.payload, payload);
    }

    @Override
    public int hashCode() {
        return 31 * id + Arrays.hashCode(payload);
    }

    @Override
    public String toString() {
        return FrameLog.describe(this);
    }
}
