package com.vaultor.sim.tests;

import java.io.ByteArrayOutputStream;
import java.nio.charset.StandardCharsets;

/** Frames written out by hand, byte by byte, independently of the simulator's own encoder. */
final class Wire {
    private Wire() {}

    static byte[] frame(int id, String payload) {
        byte[] body = payload.getBytes(StandardCharsets.UTF_8);
        ByteArrayOutputStream out = new ByteArrayOutputStream();
        out.write((id >> 8) & 0xff);
        out.write(id & 0xff);
        out.write((body.length >>> 24) & 0xff);
        out.write((body.length >>> 16) & 0xff);
        out.write((body.length >>> 8) & 0xff);
        out.write(body.length & 0xff);
        out.writeBytes(body);
        return out.toByteArray();
    }

    static byte[] concat(byte[]... parts) {
        ByteArrayOutputStream out = new ByteArrayOutputStream();
        for (byte[] part : parts) {
            out.writeBytes(part);
        }
        return out.toByteArray();
    }
}
