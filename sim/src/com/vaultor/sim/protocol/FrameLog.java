package com.vaultor.sim.protocol;

import java.nio.ByteBuffer;
import java.nio.charset.CharacterCodingException;
import java.nio.charset.CodingErrorAction;
import java.nio.charset.StandardCharsets;

/**
 * The one-line form of a frame used by --log:
 *
 * <pre>DIRECTION ID CLASS PAYLOAD</pre>
 *
 * DIRECTION is "recv" (from the client) or "send" (to the client), ID the signed decimal message
 * ID, CLASS the catalogue name ("unknown" outside it), PAYLOAD the payload decoded as UTF-8 with
 * backslash, line breaks, tabs and other control characters escaped as \\, \n, \r, \t and
 * \\uXXXX. An empty payload leaves the line ending right after CLASS, with no trailing blank. A
 * payload that is not valid UTF-8 is written as "hex:" followed by its bytes in lower-case hex.
 */
public final class FrameLog {
    private FrameLog() {}

    public static String line(String direction, Frame frame) {
        return direction + " " + describe(frame);
    }

    public static String describe(Frame frame) {
        String head = frame.id() + " " + MessageType.nameForId(frame.id());
        String payload = payloadText(frame.payload());
        return payload.isEmpty() ? head : head + " " + payload;
    }

    static String payloadText(byte[] payload) {
        try {
            String text = StandardCharsets.UTF_8
                    .newDecoder()
                    .onMalformedInput(CodingErrorAction.REPORT)
                    .onUnmappableCharacter(CodingErrorAction.REPORT)
                    .decode(ByteBuffer.wrap(payload))
                    .toString();
            return escape(text);
        } catch (CharacterCodingException notText) {
            StringBuilder hex = new StringBuilder("hex:");
            for (byte b : payload) {
                hex.append(String.format("%02x", b & 0xff));
            }
            return hex.toString();
        }
    }

    private static String escape(String text) {
        StringBuilder out = new StringBuilder(text.length());
        for (int i = 0; i < text.length(); i++) {
            char c = text.charAt(i);
            switch (c) {
                case '\\' -> out.append("\\\\");
                case '\n' -> out.append("\\n");
                case '\r' -> out.append("\\r");
                case '\t' -> out.append("\\t");
                default -> {
                    if (c < 0x20 || c == 0x7f) {
                        out.append(String.format("\\u%04x", (int) c));
                    } else {
                        out.append(c);
                    }
                }
            }
        }
        return out.toString();
    }
}
