package com.vaultor.sim.tests;

import com.vaultor.sim.protocol.Frame;
import com.vaultor.sim.protocol.MessageType;
import java.io.ByteArrayOutputStream;
import java.io.DataInputStream;
import java.io.IOException;
import java.io.OutputStream;
import java.net.InetAddress;
import java.net.InetSocketAddress;
import java.net.Socket;
import java.net.SocketTimeoutException;
import java.nio.charset.StandardCharsets;
import java.util.HashSet;
import java.util.Set;

/**
 * A tray client for tests, on loopback. It announces each type before its first use, as the
 * real client does. Every read has a timeout, so a silent simulator fails a test instead of
 * hanging it.
 */
final class TestClient implements AutoCloseable {
    static final String PREFIX = "com.keepery.service.ui.message.";
    static final int TIMEOUT_MILLIS = 20_000;
    static final int QUIET_MILLIS = 1_000;

    private final Socket socket;
    private final DataInputStream in;
    private final OutputStream out;
    private final Set<MessageType> announced = new HashSet<>();

    TestClient(int port) throws IOException {
        socket = new Socket();
        socket.connect(new InetSocketAddress(InetAddress.getLoopbackAddress(), port), TIMEOUT_MILLIS);
        socket.setSoTimeout(TIMEOUT_MILLIS);
        in = new DataInputStream(socket.getInputStream());
        out = socket.getOutputStream();
    }

    void sendRaw(byte[] bytes) throws IOException {
        out.write(bytes);
        out.flush();
    }

    /** Announces the type on first use, then sends the frame. */
    void send(MessageType type, String payload) throws IOException {
        if (announced.add(type)) {
            sendRaw(Wire.frame(MessageType.VTClassMessage.id(), type.id() + "|" + PREFIX + type.name()));
        }
        sendUnannounced(type, payload);
    }

    void sendUnannounced(MessageType type, String payload) throws IOException {
        sendRaw(Wire.frame(type.id(), payload));
    }

    Frame receive() throws IOException {
        short id = in.readShort();
        int length = in.readInt();
        if (length < 0 || length > 64 * 1024 * 1024) {
            throw new IOException("frame " + id + " has length " + length);
        }
        byte[] payload = new byte[length];
        in.readFully(payload);
        return new Frame(id, payload);
    }

    /** Receives one frame and checks its type; returns its payload as text. */
    String receive(MessageType expected) throws IOException {
        Frame frame = receive();
        Check.equal(MessageType.nameForId(expected.id()), MessageType.nameForId(frame.id()), "type of the next frame");
        return new String(frame.payload(), StandardCharsets.UTF_8);
    }

    byte[] receiveBytes(int count) throws IOException {
        byte[] bytes = new byte[count];
        in.readFully(bytes);
        return bytes;
    }

    /** Everything that arrives until the peer is quiet for a second (or closes). */
    byte[] receiveUntilQuiet() throws IOException {
        ByteArrayOutputStream collected = new ByteArrayOutputStream();
        socket.setSoTimeout(QUIET_MILLIS);
        try {
            byte[] buffer = new byte[4096];
            for (int count = in.read(buffer); count >= 0; count = in.read(buffer)) {
                collected.write(buffer, 0, count);
            }
        } catch (SocketTimeoutException quiet) {
            return collected.toByteArray();
        } finally {
            socket.setSoTimeout(TIMEOUT_MILLIS);
        }
        return collected.toByteArray();
    }

    /** True when the peer closes the connection before the timeout, after any bytes it still sends. */
    boolean closedByPeer() throws IOException {
        try {
            while (in.read() >= 0) {
                continue;
            }
            return true;
        } catch (SocketTimeoutException stillOpen) {
            return false;
        } catch (IOException reset) {
            return true;
        }
    }

    /** Pre-registration: the tray interface and the token; returns the status tray payload. */
    String preRegister(String token) throws IOException {
        send(MessageType.SetMessageTypeMessage, PREFIX + "ITrayMessage|" + System.currentTimeMillis());
        send(MessageType.StatusQueryMessage, "VTT|" + token);
        Check.equal("true", receive(MessageType.SetMessageTypeResultMessage), "answer to the tray interface");
        return receive(MessageType.StatusTrayMessage);
    }

    /** The whole opening exchange of the current protocol; returns the app-state payload. */
    String register(String token) throws IOException {
        preRegister(token);
        send(MessageType.SetMessageTypeMessage, PREFIX + "IBaseTrayMessage|" + System.currentTimeMillis());
        send(MessageType.AppStateRequestMessage, "");
        Check.equal("true", receive(MessageType.SetMessageTypeResultMessage), "answer to the base tray interface");
        return receive(MessageType.AppStateMessage);
    }

    @Override
    public void close() throws IOException {
        socket.close();
    }
}
