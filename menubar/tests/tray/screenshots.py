#!/usr/bin/env python3
"""screenshots.py BUILD_DIR OUT_DIR: the pictures the README shows, taken on a real tray.

The simulator runs three destinations (one offline, one out of space) and two sources. For a
dark and a light panel it writes the tray (tray-dark.png, tray-light.png, enlarged so that the
22 px icon can be judged) and the open status panel (panel-dark.png, panel-light.png); on the
dark panel also the preferences window (prefs.png), opened from the panel. Without any tray it
writes the window that stands in for one (no-tray.png). For each icon theme it writes its still
images and its first animation frame at 22 px on a dark and a light strip, enlarged three times
(theme-NAME.png).
"""

import os
import subprocess
import sys
import time

from tray_session import PANEL_HEIGHT, TraySession, centre, wait_for

THEMES = ("dots", "colors", "gradient", "no_animation")
STILLS = ("safe", "safe_alert", "warning", "warning_alert", "severe", "severe_alert",
          "complete", "complete_alert", "paused", "gray")
PANELS = {"dark": "#2b2b2b", "light": "#e8e8e8"}

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
        if light:
            session.keys("Escape")
            return
        # "Preferences..." by its mnemonic.
        session.keys("e")
        prefs = wait_for("the preferences window",
                         lambda: [w for w in session.client_windows()
                                  if w[3] > 200 and w[4] > 150], timeout=10)
        time.sleep(1)
        _, wx, wy, ww, wh = prefs[0]
        session.screenshot(os.path.join(out_dir, "prefs.png"), crop=(wx, wy, ww, wh))


def shoot_without_tray(build_dir, out_dir):
    with TraySession("xembed", build_dir, start_host=False) as session:
        session.start_simulator("--destinations", "3", "--sources", "2", "--offline", OFFLINE,
                                "--out-of-space", OUT_OF_SPACE)
        session.start_client()
        windows = wait_for("the status window",
                           lambda: [w for w in session.client_windows()
                                    if w[3] > 200 and w[4] > 200], timeout=60)
        time.sleep(4)
        _, x, y, w, h = windows[0]
        session.screenshot(os.path.join(out_dir, "no-tray.png"), crop=(x, y, w, h))


def theme_sheet(build_dir, out_dir, theme):
    """The theme's tray images as rendered for 22 px, on a dark and on a light strip."""
    rendered = os.path.join(build_dir, "menubar", "resources", "images", "rendered", "sizes",
                            "22")
    names = ["%s_vt_status_%s" % (theme, still) for still in STILLS]
    names += ["%s_vt_status_active_anim0" % theme, "%s_vt_icon_clicked" % theme]
    files = [os.path.join(rendered, name + ".png") for name in names]
    strips = []
    for panel, colour in PANELS.items():
        strip = os.path.join(out_dir, ".theme-%s-%s.png" % (theme, panel))
        subprocess.run(["montage", *files, "-background", colour, "-geometry", "+4+4",
                        "-tile", "%dx1" % len(files), strip], check=True)
        strips.append(strip)
    out = os.path.join(out_dir, "theme-%s.png" % theme)
    subprocess.run(["convert", *strips, "-append", "-filter", "point", "-resize", "300%", out],
                   check=True)
    for strip in strips:
        os.remove(strip)


def main(build_dir, out_dir):
    os.makedirs(out_dir, exist_ok=True)
    for light in (False, True):
        shoot(build_dir, out_dir, light)
    shoot_without_tray(build_dir, out_dir)
    for theme in THEMES:
        theme_sheet(build_dir, out_dir, theme)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
