package com.vaultor.sim.server;

import com.sun.net.httpserver.HttpExchange;
import com.sun.net.httpserver.HttpServer;
import java.io.IOException;
import java.io.OutputStream;
import java.net.InetAddress;
import java.net.InetSocketAddress;
import java.nio.charset.StandardCharsets;
import java.security.SecureRandom;
import java.util.HexFormat;

/**
 * A stand-in for the account web site on loopback, so that the tray's "open account page" lands
 * somewhere during a demo. Web login keys are addresses of this page with a fresh random key.
 */
final class AccountPage implements AutoCloseable {
    private static final String PATH = "/account";

    private final HttpServer server;
    private final SecureRandom random = new SecureRandom();

    AccountPage() throws IOException {
        server = HttpServer.create(new InetSocketAddress(InetAddress.getLoopbackAddress(), 0), 0);
        server.createContext(PATH, AccountPage::serve);
        server.start();
    }

    /** The host part the app-state document reports as "websiteHost". */
    String host() {
        return "127.0.0.1:" + server.getAddress().getPort();
    }

    String newLoginAddress() {
        byte[] key = new byte[16];
        random.nextBytes(key);
        return "http://" + host() + PATH + "?key=" + HexFormat.of().formatHex(key);
    }

    private static void serve(HttpExchange exchange) throws IOException {
        byte[] body = ("<!doctype html><title>Vaultor account</title>"
                + "<h1>Vaultor account (simulated)</h1><p>The backup service simulator signed you in.</p>")
                .getBytes(StandardCharsets.UTF_8);
        exchange.getResponseHeaders().set("Content-Type", "text/html; charset=utf-8");
        exchange.sendResponseHeaders(200, body.length);
        try (OutputStream out = exchange.getResponseBody()) {
            out.write(body);
        }
    }

    @Override
    public void close() {
        server.stop(0);
    }
}
