package com.vaultor.sim.server;

import com.vaultor.sim.Options;
import com.vaultor.sim.protocol.Frame;
import com.vaultor.sim.protocol.MessageType;
import com.vaultor.sim.world.ServiceCommands;
import com.vaultor.sim.world.World;
import com.vaultor.sim.world.WorldEvent;
import java.io.IOException;
import java.net.InetAddress;
import java.net.InetSocketAddress;
import java.net.ServerSocket;
import java.net.Socket;
import java.security.SecureRandom;
import java.util.HexFormat;
import java.util.List;
import java.util.concurrent.CopyOnWriteArrayList;
import java.util.concurrent.CountDownLatch;
import java.util.concurrent.Future;
import java.util.concurrent.ScheduledThreadPoolExecutor;
import java.util.concurrent.TimeUnit;
import java.util.concurrent.atomic.AtomicBoolean;
import java.util.concurrent.atomic.AtomicInteger;

/**
 * The simulated backup service: listens on loopback, publishes its endpoint file, runs one
 * session per tray connection, moves the world forward once a second and tells registered
 * clients about computers that come and go. With a shutdown scenario it announces the shutdown
 * to every client that presented the token, then stops.
 */
public final class SimServer implements AutoCloseable {
    private static final long TICK_MILLIS = 1000;
    private static final long SHUTDOWN_DELIVERY_SECONDS = 5;

    private final Options options;
    private final World world;
    private final SimLog log;
    private final String token = newToken();
    private final List<Session> sessions = new CopyOnWriteArrayList<>();
    private final AtomicInteger connectionNumbers = new AtomicInteger();
    private final AtomicBoolean closed = new AtomicBoolean();
    private final CountDownLatch stopped = new CountDownLatch(1);
    private final ScheduledThreadPoolExecutor ticker = new ScheduledThreadPoolExecutor(1, runnable -> {
        Thread thread = new Thread(runnable, "world ticker");
        thread.setDaemon(true);
        return thread;
    });
    private ServerSocket listener;
    private EndpointFile endpointFile;
    private AccountPage accountPage;

    public SimServer(Options options, World world, SimLog log) {
        this.options = options;
        this.world = world;
        this.log = log;
        ticker.setExecuteExistingDelayedTasksAfterShutdownPolicy(false);
    }

    /** Binds, writes the endpoint file, prints "listening on 127.0.0.1:PORT" and starts serving. */
    public void start() throws IOException {
        listener = new ServerSocket();
        listener.bind(new InetSocketAddress(InetAddress.getLoopbackAddress(), options.port()));
        accountPage = new AccountPage();
        endpointFile = new EndpointFile(options.endpointFile(), port(), token);
        endpointFile.write();
        ServiceContext service = new ServiceContext(world, new ServiceCommands(world), token, options, accountPage);
        Thread acceptor = new Thread(() -> accept(service), "acceptor");
        acceptor.setDaemon(true);
        acceptor.start();
        ticker.scheduleAtFixedRate(this::tick, TICK_MILLIS, TICK_MILLIS, TimeUnit.MILLISECONDS);
        if (options.shutdownAfterSeconds() >= 0) {
            long delay = Math.round(options.shutdownAfterSeconds() * 1000);
            ticker.schedule(this::shutDownService, delay, TimeUnit.MILLISECONDS);
        }
        log.note("endpoint file " + endpointFile.path());
        log.line("listening on 127.0.0.1:" + port());
    }

    private void accept(ServiceContext service) {
        while (!listener.isClosed()) {
            try {
                Socket socket = listener.accept();
                int number = connectionNumbers.incrementAndGet();
                Session session = new Session(socket, number, service, log, sessions::remove);
                sessions.add(session);
                Thread reader = new Thread(session, "connection " + number);
                reader.setDaemon(true);
                reader.start();
            } catch (IOException failed) {
                if (!listener.isClosed()) {
                    log.note("accepting a connection failed: " + failed.getMessage());
                }
            }
        }
    }

    private void tick() {
        world.advanceTo(System.currentTimeMillis());
        for (WorldEvent event : world.drainEvents()) {
            MessageType type = event.kind() == WorldEvent.Kind.COMPUTER_CONNECTED
                    ? MessageType.ComputerConnectedMessage
                    : MessageType.ComputerDisconnectedMessage;
            Frame frame = Frame.tokens(type, List.of(Long.toString(event.guid())));
            sessions.stream().filter(Session::isRegistered).forEach(session -> session.push(frame));
        }
    }

    private void shutDownService() {
        log.note("shutting down (--shutdown-after)");
        Frame frame = Frame.tokens(MessageType.ShutdownMessage, List.of("shutdown"));
        List<Future<?>> deliveries = sessions.stream()
                .filter(Session::isAuthenticated)
                .<Future<?>>map(session -> session.push(frame))
                .toList();
        for (Future<?> delivery : deliveries) {
            try {
                delivery.get(SHUTDOWN_DELIVERY_SECONDS, TimeUnit.SECONDS);
            } catch (Exception undelivered) {
                log.note("a shutdown message could not be delivered: " + undelivered);
            }
        }
        close();
    }

    public int port() {
        return listener.getLocalPort();
    }

    /** Blocks until the server has stopped, by close() or by the shutdown scenario. */
    public void awaitStopped() throws InterruptedException {
        stopped.await();
    }

    /** Stops listening, closes every connection and removes the endpoint file; safe to call twice. */
    @Override
    public void close() {
        if (!closed.compareAndSet(false, true)) {
            return;
        }
        ticker.shutdown();
        try {
            if (listener != null) {
                listener.close();
            }
        } catch (IOException ignored) {
            // The listener is being dropped; a failing close changes nothing for the clients.
        }
        sessions.forEach(Session::close);
        if (accountPage != null) {
            accountPage.close();
        }
        try {
            if (endpointFile != null && endpointFile.remove()) {
                log.note("removed " + endpointFile.path());
            }
        } catch (IOException failed) {
            log.note("could not remove " + endpointFile.path() + ": " + failed.getMessage());
        }
        stopped.countDown();
    }

    private static String newToken() {
        byte[] bytes = new byte[16];
        new SecureRandom().nextBytes(bytes);
        return HexFormat.of().formatHex(bytes);
    }
}
