package com.vaultor.sim.tests;

import com.vaultor.sim.json.JsonWriter;
import com.vaultor.sim.protocol.Frame;
import com.vaultor.sim.protocol.FrameLog;
import com.vaultor.sim.protocol.FrameReader;
import com.vaultor.sim.protocol.MessageType;
import com.vaultor.sim.protocol.ProtocolException;
import com.vaultor.sim.protocol.Tokens;
import java.io.ByteArrayInputStream;
import java.io.EOFException;
import java.io.IOException;
import java.io.InputStream;
import java.net.SocketTimeoutException;
import java.math.BigDecimal;
import java.time.Duration;
import java.util.HexFormat;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.Optional;

/** Framing, tokens, the log line format and the JSON writer, without a network. */
public final class ProtocolTest {
    private static final HexFormat HEX = HexFormat.of();

    private static FrameReader reader(byte[] bytes) {
        return new FrameReader(new ByteArrayInputStream(bytes), Duration.ofSeconds(5));
    }

    @Test
    public void headersAreBigEndianIdThenSignedLength() {
        Check.equal("806300000005", HEX.formatHex(Frame.header((short) -32669, 5)), "header of -32669, 5");
        Check.equal("152fffffffff", HEX.formatHex(Frame.header((short) 5423, -1)), "header with length -1");
        Frame frame = Frame.text(MessageType.PauseSystemMessage, "60");
        Check.equal("e31b000000023630", HEX.formatHex(frame.encode()), "a pause for 60 minutes");
        Check.equal("331e00000000", HEX.formatHex(Frame.empty(MessageType.AppStateRequestMessage).encode()),
                "an empty request is six bytes");
    }

    @Test
    public void catalogueIdsAreSignedSixteenBit() throws IOException {
        Check.equal(MessageType.VTClassMessage, MessageType.byId((short) 0x8063).orElseThrow(), "80 63");
        Check.equal(MessageType.BackupStatsSummaryMessage, MessageType.byId((short) 0x005F).orElseThrow(), "00 5F");
        Check.equal(MessageType.SetMessageTypeResultMessage, MessageType.byId((short) 0xC6E5).orElseThrow(), "C6 E5");
        Check.equal("com.keepery.service.ui.message.StatusQueryMessage",
                MessageType.StatusQueryMessage.wireClassName(), "wire class name");
        Frame frame = reader(HEX.parseHex("ffff00000000")).next().orElseThrow();
        Check.equal((short) -1, frame.id(), "ID of FF FF");
        Check.equal(0, frame.payloadLength(), "length 0");
        Check.equal("unknown", MessageType.nameForId((short) -1), "name of an ID outside the catalogue");
    }

    @Test
    public void tokensKeepEmptyPiecesAndDoNotEscape() {
        Check.equal(List.of("a", "", "b"), Tokens.split("a||b"), "a||b");
        Check.equal("a||b", Tokens.join(Tokens.split("a||b")), "rebuilt");
        Check.equal(List.of("x", ""), Tokens.split("x|"), "a trailing bar keeps its empty token");
        Check.equal(List.of(), Tokens.split(""), "no payload, no tokens");
        Check.equal(List.of("a", "b"), Tokens.split(Tokens.join(List.of("a|b"))), "a bar inside a token splits it");
    }

    @Test
    public void readerRefusesNegativeAndOversizedLengths() {
        ProtocolException negative = Check.raises(ProtocolException.class,
                () -> reader(HEX.parseHex("152fffffffff")).next(), "negative length");
        Check.isTrue(negative.getMessage().contains("-1"), "the message names the length: " + negative.getMessage());
        byte[] oversized = Frame.header((short) 95, FrameReader.MAX_PAYLOAD + 1);
        Check.raises(ProtocolException.class, () -> reader(oversized).next(), "oversized length");
    }

    @Test
    public void readerAssemblesFramesThatArriveByteByByte() throws IOException {
        byte[] two = Wire.concat(Wire.frame(95, "1|2"), Wire.frame(13086, ""));
        InputStream trickle = new InputStream() {
            private int next;

            @Override
            public int read() {
                return next < two.length ? two[next++] & 0xff : -1;
            }

            @Override
            public int read(byte[] buffer, int offset, int length) {
                if (next >= two.length) {
                    return -1;
                }
                buffer[offset] = two[next++];
                return 1;
            }
        };
        FrameReader frames = new FrameReader(trickle, Duration.ofSeconds(5));
        Check.equal(Frame.text(MessageType.BackupStatsSummaryMessage, "1|2"), frames.next().orElseThrow(), "first");
        Check.equal(Frame.empty(MessageType.AppStateRequestMessage), frames.next().orElseThrow(), "second");
        Check.equal(Optional.empty(), frames.next(), "clean end between frames");
    }

    /** A socket stream that times out a number of times before it delivers its bytes. */
    private static InputStream quietThen(int timeouts, byte[] bytes) {
        return new InputStream() {
            private int quiet = timeouts;
            private int next;

            @Override
            public int read() throws IOException {
                byte[] one = new byte[1];
                return read(one, 0, 1) < 0 ? -1 : one[0] & 0xff;
            }

            @Override
            public int read(byte[] buffer, int offset, int length) throws IOException {
                if (quiet > 0) {
                    quiet--;
                    throw new SocketTimeoutException("quiet");
                }
                if (next >= bytes.length) {
                    return -1;
                }
                buffer[offset] = bytes[next++];
                if (next == 3) {
                    quiet = timeouts;
                }
                return 1;
            }
        };
    }

    @Test
    public void aQuietPeerIsWaitedForOnlyBetweenFrames() throws IOException {
        byte[] frame = Wire.frame(155, "3");
        FrameReader patient = new FrameReader(quietThen(50, frame), Duration.ofHours(1));
        Check.equal(Frame.text(MessageType.AlertCountMessage, "3"), patient.next().orElseThrow(), "frame after pauses");
        FrameReader strict = new FrameReader(quietThen(50, frame), Duration.ZERO);
        ProtocolException stalled = Check.raises(ProtocolException.class, strict::next, "stall inside the header");
        Check.equal("peer stalled in the middle of a frame", stalled.getMessage(), "reason");
    }

    @Test
    public void streamEndingInsideAFrameIsAnError() {
        byte[] cut = HEX.parseHex("005f000000053132");
        Check.raises(EOFException.class, () -> reader(cut).next(), "payload cut short");
        Check.raises(EOFException.class, () -> reader(HEX.parseHex("005f00")).next(), "header cut short");
    }

    @Test
    public void logLinesAreOneLineWithEscapes() {
        Frame plain = Frame.text(MessageType.SetMessageTypeMessage, "com.keepery.service.ui.message.ITrayMessage|17");
        Check.equal("recv -25845 SetMessageTypeMessage com.keepery.service.ui.message.ITrayMessage|17",
                FrameLog.line("recv", plain), "text payload");
        Check.equal("send 13086 AppStateRequestMessage",
                FrameLog.line("send", Frame.empty(MessageType.AppStateRequestMessage)),
                "empty payload: no trailing blank");
        Frame odd = Frame.text(MessageType.CommandTrayRequestMessage, "a\nb\\c\u0001");
        Check.equal("recv -30964 CommandTrayRequestMessage a\\nb\\\\c\\u0001", FrameLog.line("recv", odd), "escapes");
        Frame binary = new Frame((short) 7, new byte[] {(byte) 0xff, 0x41});
        Check.equal("recv 7 unknown hex:ff41", FrameLog.line("recv", binary), "invalid UTF-8");
    }

    @Test
    public void jsonKeepsLongsExactAndDecimalsPlain() {
        Map<String, Object> document = new LinkedHashMap<>();
        document.put("guid", 771847767080796762L);
        document.put("ratio", new BigDecimal("0.5000"));
        document.put("one", BigDecimal.ONE);
        document.put("zero", new BigDecimal("0.0000"));
        document.put("text", "say \"hi\"\n\\");
        document.put("list", List.of(1L, true));
        String json = JsonWriter.write(document);
        Check.equal("{\"guid\":771847767080796762,\"ratio\":0.5,\"one\":1,\"zero\":0,"
                + "\"text\":\"say \\\"hi\\\"\\n\\\\\",\"list\":[1,true]}", json, "written JSON");
        Check.equal(document.get("text"), Json.object(Json.parse(json), "document").get("text"), "text survives");
    }
}
