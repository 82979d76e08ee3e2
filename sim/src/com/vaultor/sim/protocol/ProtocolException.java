package com.vaultor.sim.protocol;

import java.io.IOException;

/** The peer broke the framing; the connection cannot be trusted any further. */
public final class ProtocolException extends IOException {
    private static final long serialVersionUID = 1L;

    public ProtocolException(String message) {
        super(message);
    }
}
