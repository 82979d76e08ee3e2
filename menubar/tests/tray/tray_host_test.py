#!/usr/bin/env python3
"""tray_host_test.py HOST BUILD_DIR [--late]: the tray client on a real tray host, against the
simulator.

The client starts before the service (as at login, where the service may still be starting):
its icon appears grey. The simulator starts; once the client registers, the icon shows the
backup's status. A left click opens the status panel with a row per computer; pausing all
backup from the panel's keyboard mnemonics sends the command to the simulator and the icon
turns to the paused image. HOST is "xembed" (trayer) or "sni" (xfce4-panel).

With --late the tray host starts only after the client, as when the desktop's panel comes up
after the programs started at login: the icon appears once the tray does, grey.
"""

import sys
import time

from tray_session import SessionError, TraySession, centre, wait_for

DESTINATIONS, SOURCES = 3, 2


def check(condition, message):
    if not condition:
        raise SessionError(message)


def late_tray(host, build_dir):
    with TraySession(host, build_dir, start_host=False) as session:
        session.start_client()
        time.sleep(2)
        session.start_host()
        # Without a StatusNotifierItem watcher at its start the client embeds its icon. The
        # icon's window is looked up again on every check: until the tray has embedded it, it
        # is a small window of its own elsewhere on the screen.
        looks = []

        def grey():
            looks.append(session.icon_look(session.find_icon()))
            return looks[-1] == "grey"
        try:
            wait_for("the icon on the late tray to show grey", grey, timeout=30)
        except SessionError as error:
            raise SessionError("%s (it looked %s)" % (error, ", ".join(sorted(set(looks)))))
    return 0


def main(host, build_dir):
    with TraySession(host, build_dir) as session:
        empty = session.panel_strip()
        session.start_client()
        icon = session.find_icon(empty)
        wait_for("the icon to show grey before the service runs",
                 lambda: session.icon_look(icon) == "grey", timeout=15)

        session.start_simulator("--destinations", str(DESTINATIONS), "--sources", str(SOURCES))
        status = wait_for("the icon to show the backup's status",
                          lambda: session.icon_look(icon) not in ("grey", "empty") and
                          session.icon_look(icon), timeout=40)

        session.click(centre(icon))
        panel = wait_for("the status panel",
                         lambda: [w for w in session.client_windows() if w[4] > 100], timeout=10)
        _, x, y, width, height = panel[0]
        rows = DESTINATIONS + SOURCES
        check(height >= rows * (46 - 4), "the panel is %d px high for %d rows" % (height, rows))
        screen_width = int(session.screen.split("x")[0])
        check(x >= 0 and y >= 0 and x + width <= screen_width,
              "the panel lies off screen at %d,%d %dx%d" % (x, y, width, height))
        check(session.icon_look(icon) != status, "the icon should show its clicked image")

        # "Pause Backups" then "For 1 day", by their mnemonics.
        session.keys("p", "d")
        wait_for("the simulator to receive the pause",
                 lambda: any("PauseSystemMessage" in line and "1440" in line
                             for line in session.sim_lines()), timeout=10)
        wait_for("the panel to close",
                 lambda: not [w for w in session.client_windows() if w[4] > 100], timeout=10)
        wait_for("the icon to show the paused image",
                 lambda: session.icon_look(icon) == "paused", timeout=20)
    return 0


if __name__ == "__main__":
    try:
        test = late_tray if "--late" in sys.argv[3:] else main
        sys.exit(test(sys.argv[1], sys.argv[2]))
    except SessionError as error:
        print("tray_host_test %s: %s" % (sys.argv[1], error), file=sys.stderr)
        sys.exit(1)
