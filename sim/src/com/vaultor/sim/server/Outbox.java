package com.vaultor.sim.server;

import com.vaultor.sim.protocol.Frame;
import com.vaultor.sim.protocol.MessageType;
import java.io.IOException;
import java.io.OutputStream;
import java.util.Arrays;

/**
 * Writes one connection's frames, whole and in order, whichever thread sends them. It also
 * plays the misbehaving scenarios: never answering, stopping in the middle of the first answer
 * (after its header and half its payload, so the client is left waiting for the rest), or
 * replacing the first answer with a header of negative length. After a stall or garbage
 * the connection stays open but carries nothing more from the simulator.
 */
final class Outbox {
    private final OutputStream out;
    private final Misbehaviour misbehaviour;
    private final SimLog log;
    private final String connection;
    private boolean sentAnything;
    private boolean silenced;

    /** What, if anything, goes wrong with this connection's answers. */
    enum Misbehaviour {
        NONE,
        NO_ANSWER,
        STALL_MID_FRAME,
        GARBAGE
    }

    Outbox(OutputStream out, Misbehaviour misbehaviour, SimLog log, String connection) {
        this.out = out;
        this.misbehaviour = misbehaviour;
        this.log = log;
        this.connection = connection;
    }

    synchronized void send(Frame frame) throws IOException {
        String name = MessageType.nameForId(frame.id());
        if (silenced) {
            return;
        }
        if (misbehaviour == Misbehaviour.NO_ANSWER) {
            log.note(connection + ": not answering (--no-answer), " + name + " withheld");
            return;
        }
        boolean first = !sentAnything;
        sentAnything = true;
        if (first && misbehaviour == Misbehaviour.GARBAGE) {
            out.write(Frame.header(frame.id(), -1));
            out.flush();
            silenced = true;
            log.note(connection + ": sent a " + name + " header with length -1 (--garbage)");
            return;
        }
        byte[] bytes = frame.encode();
        if (first && misbehaviour == Misbehaviour.STALL_MID_FRAME) {
            int half = Frame.HEADER_SIZE + frame.payloadLength() / 2;
            out.write(Arrays.copyOf(bytes, half));
            out.flush();
            silenced = true;
            log.note(connection + ": stalling after " + half + " of " + bytes.length + " bytes of " + name
                    + " (--stall-mid-frame)");
            return;
        }
        out.write(bytes);
        out.flush();
        log.frame("send", frame);
    }
}
