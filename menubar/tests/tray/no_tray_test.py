#!/usr/bin/env python3
"""no_tray_test.py BUILD_DIR: the tray client on a desktop without any tray, under Xvfb.

The client and the simulator start with no tray host running. Once the client has given up
waiting for a tray, it shows its status as a normal window, whole on the screen and titled
with the product's name, with a row per computer. Then a tray (trayer) starts: the window goes
away and the icon docks in the tray.
"""

import sys

from tray_session import SessionError, TraySession, wait_for

DESTINATIONS, SOURCES = 3, 2
SCREEN = (1280, 800)


def check(condition, message):
    if not condition:
        raise SessionError(message)


def state(process):
    return "runs" if process.poll() is None else "ended with %s" % process.poll()


def status_windows(session):
    return [w for w in session.client_windows() if w[3] > 200 and w[4] > 200]


def main(build_dir):
    with TraySession("xembed", build_dir, screen="%dx%d" % SCREEN,
                     start_host=False) as session:
        session.start_simulator("--destinations", str(DESTINATIONS), "--sources", str(SOURCES))
        client = session.start_client()
        try:
            # A client that ended will show nothing: no use waiting for it.
            windows = wait_for("the status window",
                               lambda: status_windows(session) or client.poll() is not None,
                               timeout=60)
            if windows is True:
                raise SessionError("no status window")
        except SessionError as error:
            with open(session.client_log, errors="replace") as log:
                raise SessionError("%s; the client %s, shows %s, the display %s, and wrote:\n%s"
                                   % (error, state(client), session.client_windows(),
                                      state(session.display_server), log.read()[-3000:]))
        window, x, y, width, height = windows[0]
        check(x >= 0 and y >= 0 and x + width <= SCREEN[0] and y + height <= SCREEN[1],
              "the status window lies off screen at %d,%d %dx%d" % (x, y, width, height))
        title = session.run(["xdotool", "getwindowname", window]).decode().strip()
        check(title == "Vaultor Menu Bar", "the status window is titled %r" % title)
        # Rows of 46 px (less their 4 px overlap) for every computer, under the text that
        # says why the window is there.
        check(height >= (DESTINATIONS + SOURCES) * (46 - 4),
              "the status window is %d px high for %d rows" % (height, DESTINATIONS + SOURCES))

        session.start_host()
        wait_for("the status window to go once a tray is there",
                 lambda: not status_windows(session), timeout=30)
        session.find_icon()
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv[1]))
    except SessionError as error:
        print("no_tray_test: %s" % error, file=sys.stderr)
        sys.exit(1)
