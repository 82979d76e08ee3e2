#!/usr/bin/env python3
"""screenshots.py BUILD_DIR OUT_DIR: the pictures the README shows, taken on a real tray.

The simulator runs three destinations (one offline, one out of space) and two sources. For a
dark and a light panel it writes the tray (tray-dark.png, tray-light.png, enlarged so that the
22 px icon can be judged) and the open status panel (panel-dark.png, panel-light.png).
"""

import os
import sys
import time

from tray_session import PANEL_HEIGHT, TraySession, centre, wait_for

OFFLINE, OUT_OF_SPACE = "589083218297598034", "303447872313914514"


def shoot(build_dir, out_dir, light):
    suffix = "light" if light else "dark"
    with TraySession("xembed", build_dir, light=light) as session:
        session.start_simulator("--destinations", "3", "--sources", "2", "--offline", OFFLINE,
                                "--out-of-space", OUT_OF_SPACE)
        session.start_client()
        icon = session.find_icon()
        wait_for("the icon to show the backup's status",
                 lambda: session.icon_look(icon) not in ("grey", "empty"), timeout=40)
        # Let the statistics settle into every row.
        time.sleep(4)
        x, _, w, _ = icon
        tray = os.path.join(out_dir, "tray-%s.png" % suffix)
        session.screenshot(tray, crop=(x - 120, 0, w + 124, PANEL_HEIGHT))
        session.run(["convert", tray, "-filter", "point", "-resize", "300%", tray])

        session.click(centre(icon))
        panels = wait_for("the status panel",
                          lambda: [w for w in session.client_windows() if w[4] > 100],
                          timeout=10)
        time.sleep(1)
        _, px, py, pw, ph = panels[0]
        left = max(0, px - 20)
        session.screenshot(os.path.join(out_dir, "panel-%s.png" % suffix),
                           crop=(left, 0, min(px + pw + 20, 1280) - left, py + ph + 20))
        session.keys("Escape")


def main(build_dir, out_dir):
    os.makedirs(out_dir, exist_ok=True)
    for light in (False, True):
        shoot(build_dir, out_dir, light)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
