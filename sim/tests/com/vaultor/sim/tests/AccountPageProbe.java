package com.vaultor.sim.tests;

import java.io.IOException;
import java.io.InputStream;
import java.net.HttpURLConnection;
import java.net.URI;

/** Fetches a page with time limits and reports its HTTP status. */
final class AccountPageProbe {
    private AccountPageProbe() {}

    static int status(String address) throws IOException {
        HttpURLConnection connection = (HttpURLConnection) URI.create(address).toURL().openConnection();
        connection.setConnectTimeout(TestClient.TIMEOUT_MILLIS);
        connection.setReadTimeout(TestClient.TIMEOUT_MILLIS);
        try (InputStream body = connection.getInputStream()) {
            body.readAllBytes();
            return connection.getResponseCode();
        } finally {
            connection.disconnect();
        }
    }
}
