package com.vaultor.sim.server;

import com.vaultor.sim.protocol.Frame;
import com.vaultor.sim.protocol.FrameReader;
import com.vaultor.sim.protocol.MessageType;
import com.vaultor.sim.protocol.ProtocolException;
import com.vaultor.sim.protocol.Tokens;
import java.io.BufferedInputStream;
import java.io.BufferedOutputStream;
import java.io.IOException;
import java.net.Socket;
import java.nio.charset.StandardCharsets;
import java.time.Duration;
import java.util.HashSet;
import java.util.List;
import java.util.Optional;
import java.util.Set;
import java.util.concurrent.CompletableFuture;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;
import java.util.concurrent.Future;
import java.util.concurrent.RejectedExecutionException;
import java.util.function.Consumer;

/**
 * One tray connection: reads its frames, keeps track of the message types the client announced
 * on it, and hands announced requests to its request handler. A frame of a type that was not
 * announced first is noted and dropped, as a strict service would. Broken framing closes the
 * connection.
 */
final class Session implements Runnable {
    private static final int READ_TICK_MILLIS = 1000;
    private static final Duration STALL_LIMIT = Duration.ofSeconds(30);

    private final Socket socket;
    private final String name;
    private final SimLog log;
    private final Outbox outbox;
    private final TrayRequestHandler handler;
    private final Consumer<Session> onClosed;
    private final Set<Short> announced = new HashSet<>();
    private final ExecutorService pushes;

    Session(Socket socket, int number, ServiceContext service, SimLog log, Consumer<Session> onClosed)
            throws IOException {
        this.socket = socket;
        this.name = "connection " + number;
        this.log = log;
        this.onClosed = onClosed;
        this.outbox = new Outbox(new BufferedOutputStream(socket.getOutputStream()), misbehaviour(service, number), log,
                name);
        this.handler = new TrayRequestHandler(service, outbox, log, name);
        this.pushes = Executors.newSingleThreadExecutor(runnable -> {
            Thread thread = new Thread(runnable, name + " sender");
            thread.setDaemon(true);
            return thread;
        });
        announced.add(MessageType.VTClassMessage.id());
        socket.setSoTimeout(READ_TICK_MILLIS);
        socket.setTcpNoDelay(true);
    }

    private static Outbox.Misbehaviour misbehaviour(ServiceContext service, int number) {
        if (!service.options().misbehavesOn(number)) {
            return Outbox.Misbehaviour.NONE;
        }
        if (service.options().noAnswer()) {
            return Outbox.Misbehaviour.NO_ANSWER;
        }
        if (service.options().stallMidFrame()) {
            return Outbox.Misbehaviour.STALL_MID_FRAME;
        }
        return service.options().garbage() ? Outbox.Misbehaviour.GARBAGE : Outbox.Misbehaviour.NONE;
    }

    @Override
    public void run() {
        log.note(name + " opened from " + socket.getRemoteSocketAddress());
        try {
            FrameReader reader = new FrameReader(new BufferedInputStream(socket.getInputStream()), STALL_LIMIT);
            for (Optional<Frame> frame = reader.next(); frame.isPresent(); frame = reader.next()) {
                log.frame("recv", frame.get());
                receive(frame.get());
            }
            log.note(name + " closed by the client");
        } catch (ProtocolException broken) {
            log.note(name + ": closing, " + broken.getMessage());
        } catch (IOException gone) {
            if (!socket.isClosed()) {
                log.note(name + " lost: " + gone.getMessage());
            }
        } finally {
            close();
            onClosed.accept(this);
        }
    }

    private void receive(Frame frame) throws IOException {
        Optional<MessageType> type = MessageType.byId(frame.id());
        if (type.isEmpty()) {
            log.note(name + ": dropped frame with unknown ID " + frame.id());
            return;
        }
        if (type.get() == MessageType.VTClassMessage) {
            announce(new String(frame.payload(), StandardCharsets.UTF_8));
            return;
        }
        if (!announced.contains(frame.id())) {
            log.note(name + ": dropped " + type.get().name() + ": its type was not announced on this connection");
            return;
        }
        try {
            handler.handle(type.get(), frame);
        } catch (RuntimeException failed) {
            log.note(name + ": could not handle " + type.get().name() + ": " + failed);
        }
    }

    /** "ID|wire class name": both must name the same type of the catalogue. */
    private void announce(String text) {
        List<String> tokens = Tokens.split(text);
        Optional<MessageType> type = tokens.size() == 2 ? MessageType.byWireClassName(tokens.get(1)) : Optional.empty();
        if (type.isEmpty()) {
            log.note(name + ": ignored announcement of an unknown class: '" + text + "'");
            return;
        }
        if (!tokens.get(0).equals(Short.toString(type.get().id()))) {
            log.note(name + ": ignored announcement of " + type.get().name() + " with ID " + tokens.get(0)
                    + " instead of " + type.get().id());
            return;
        }
        announced.add(type.get().id());
    }

    /**
     * Sends an unsolicited message from the session's own sender thread, so that a client that
     * stops reading holds up only itself; a connection that cannot take it is closed.
     */
    Future<?> push(Frame frame) {
        try {
            return pushes.submit(() -> {
                try {
                    outbox.send(frame);
                } catch (IOException gone) {
                    log.note(name + ": could not send " + MessageType.nameForId(frame.id()) + ": " + gone.getMessage());
                    close();
                }
            });
        } catch (RejectedExecutionException closed) {
            return CompletableFuture.completedFuture(null);
        }
    }

    boolean isAuthenticated() {
        return handler.isAuthenticated();
    }

    boolean isRegistered() {
        return handler.isRegistered();
    }

    void close() {
        pushes.shutdown();
        try {
            socket.close();
        } catch (IOException ignored) {
            // Closing is best effort: the peer is gone either way.
        }
    }
}
