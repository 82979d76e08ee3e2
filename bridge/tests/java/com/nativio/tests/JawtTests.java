package com.nativio.tests;

import com.nativio.jawt.JAWT;
import java.awt.Canvas;
import java.awt.Component;
import java.awt.EventQueue;
import java.awt.Frame;

/** The AWT native interface on a real display (an X server such as Xvfb). */
final class JawtTests {
    private JawtTests() {}

    static void testDrawingSurfaceOfACanvas() throws Exception {
        Frame frame = new Frame("nativio");
        Canvas canvas = new Canvas();
        EventQueue.invokeAndWait(() -> {
            frame.add(canvas);
            frame.setSize(120, 80);
            frame.setVisible(true);
        });
        try {
            while (!canvas.isShowing()) {
                Thread.sleep(10);
            }
            JAWT.doLockAWT();
            JAWT.doUnlockAWT();
            long surface = JAWT.doGetDrawingSurface(canvas);
            Check.isTrue(surface != 0, "drawing surface");
            long handle = JAWT.doGetHandle(surface);
            Check.isTrue(handle != 0, "native window of the surface");
            Component found = JAWT.doGetComponentFromHandle(handle);
            JAWT.doFreeDrawingSurface(surface);
            Check.isTrue(found == canvas, "component of the handle: " + found);
            Check.raises(NullPointerException.class, "component", () -> JAWT.doGetDrawingSurface(null));
        } finally {
            EventQueue.invokeAndWait(frame::dispose);
        }
    }
}
