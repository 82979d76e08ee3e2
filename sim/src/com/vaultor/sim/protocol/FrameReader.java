package com.vaultor.sim.protocol;

import java.io.EOFException;
import java.io.IOException;
import java.io.InputStream;
import java.net.SocketTimeoutException;
import java.nio.ByteBuffer;
import java.time.Duration;
import java.util.Optional;

/**
 * Cuts an input stream into frames. A negative or oversized length, or a peer that stops in the
 * middle of a frame for longer than the stall limit, is a broken connection. The stream is
 * expected to come from a socket with a read timeout, so that a stall can be noticed; between
 * frames a quiet peer is waited for without limit.
 */
public final class FrameReader {
    /** Nothing the tray client sends comes near this; larger lengths mean a corrupt stream. */
    public static final int MAX_PAYLOAD = 16 * 1024 * 1024;

    private final InputStream in;
    private final long stallLimitNanos;

    public FrameReader(InputStream in, Duration stallLimit) {
        this.in = in;
        this.stallLimitNanos = stallLimit.toNanos();
    }

    /** The next frame, or empty when the peer closed the stream cleanly between frames. */
    public Optional<Frame> next() throws IOException {
        byte[] header = new byte[Frame.HEADER_SIZE];
        if (!fill(header, true)) {
            return Optional.empty();
        }
        ByteBuffer fields = ByteBuffer.wrap(header);
        short id = fields.getShort();
        int length = fields.getInt();
        if (length < 0 || length > MAX_PAYLOAD) {
            throw new ProtocolException(
                    "frame " + id + " has length " + length + ", outside 0.." + MAX_PAYLOAD);
        }
        byte[] payload = new byte[length];
        fill(payload, false);
        return Optional.of(new Frame(id, payload));
    }

    /**
     * Reads exactly buffer.length bytes. Returns false only for a clean end of stream before the
     * first byte when that is allowed (a frame boundary).
     */
    private boolean fill(byte[] buffer, boolean atBoundary) throws IOException {
        int filled = 0;
        long lastProgress = System.nanoTime();
        while (filled < buffer.length) {
            int count;
            try {
                count = in.read(buffer, filled, buffer.length - filled);
            } catch (SocketTimeoutException quiet) {
                boolean midFrame = filled > 0 || !atBoundary;
                if (midFrame && System.nanoTime() - lastProgress >= stallLimitNanos) {
                    throw new ProtocolException("peer stalled in the middle of a frame");
                }
                continue;
            }
            if (count < 0) {
                if (filled == 0 && atBoundary) {
                    return false;
                }
                throw new EOFException("stream ended in the middle of a frame");
            }
            filled += count;
            lastProgress = System.nanoTime();
        }
        return true;
    }
}
