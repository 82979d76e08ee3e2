package com.vaultor.sim.server;

import com.vaultor.sim.protocol.Frame;
import com.vaultor.sim.protocol.FrameLog;
import java.io.PrintStream;

/**
 * Where the simulator reports. Lines meant for programs (the world overview, the "listening on"
 * line and, with --log, one line per frame in the FrameLog format) go to the out stream; notes
 * for people (connections, refused frames, scenario actions) go to the err stream, prefixed
 * with "vaultor-sim: ".
 */
public final class SimLog {
    private final PrintStream out;
    private final PrintStream err;
    private final boolean frames;

    public SimLog(PrintStream out, PrintStream err, boolean frames) {
        this.out = out;
        this.err = err;
        this.frames = frames;
    }

    public void frame(String direction, Frame frame) {
        if (frames) {
            line(FrameLog.line(direction, frame));
        }
    }

    public void line(String text) {
        synchronized (out) {
            out.println(text);
            out.flush();
        }
    }

    public void note(String text) {
        synchronized (err) {
            err.println("vaultor-sim: " + text);
            err.flush();
        }
    }
}
