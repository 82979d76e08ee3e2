"""A throwaway desktop with a real tray host, for the tray client's tests and screenshots.

The session runs Xvfb and one tray host: Debian's trayer (an XEmbed tray) or xfce4-panel,
whose notification area hosts StatusNotifierItems over a private session bus. It gives the
client a home of its own, starts the service simulator and the client, finds the tray icon on
screen, clicks it and reads its pixels back (ImageMagick's `import` and `convert`).
"""

import colorsys
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

PANEL_HEIGHT = 30
ICON_SIZE = 22

# A panel with the notification area alone: nothing else on it changes between two shots.
XFCE_PANEL_CONFIG = """<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="dark-mode" type="bool" value="{dark}"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="icon-size" type="uint" value="22"/>
      <property name="size" type="uint" value="{height}"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
        <value type="int" value="2"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="separator">
      <property name="expand" type="bool" value="true"/>
      <property name="style" type="uint" value="0"/>
    </property>
    <property name="plugin-2" type="string" value="systray">
      <property name="icon-size" type="uint" value="22"/>
      <property name="square-icons" type="bool" value="false"/>
    </property>
  </property>
</channel>
"""


class SessionError(Exception):
    pass


def wait_for(what, check, timeout=30.0, interval=0.2):
    """The first truthy result of check(), or SessionError after timeout seconds."""
    deadline = time.monotonic() + timeout
    while True:
        result = check()
        if result:
            return result
        if time.monotonic() > deadline:
            raise SessionError("timed out waiting for " + what)
        time.sleep(interval)


class Image:
    """An RGB picture read through ImageMagick as a binary PPM."""

    def __init__(self, width, height, pixels):
        self.width, self.height, self.pixels = width, height, pixels

    @staticmethod
    def from_ppm(data):
        # "P6", width, height and maximum, one white space byte each after, then the pixels.
        header = re.match(rb"P6\s(\d+)\s(\d+)\s(\d+)\s", data)
        if not header or header.group(3) != b"255":
            raise SessionError("not an 8-bit PPM picture")
        width, height = int(header.group(1)), int(header.group(2))
        return Image(width, height, data[header.end() : header.end() + width * height * 3])

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i : i + 3])


class TraySession:
    def __init__(self, host, build_dir, light=False, screen="1280x800", start_host=True):
        self.host = host
        self.host_at_start = start_host
        self.build_dir = build_dir
        self.light = light
        self.screen = screen
        self.work = tempfile.mkdtemp(prefix="vaultor-tray-")
        self.processes = []
        self.env = dict(os.environ)
        for variable in ("QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS", "WAYLAND_DISPLAY"):
            self.env.pop(variable, None)
        self.env.update(
            HOME=self.work,
            XDG_CONFIG_HOME=os.path.join(self.work, "config"),
            XDG_DATA_HOME=os.path.join(self.work, "data"),
            XDG_STATE_HOME=os.path.join(self.work, "state"),
            XDG_CACHE_HOME=os.path.join(self.work, "cache"),
            XDG_RUNTIME_DIR=os.path.join(self.work, "run"),
            NO_AT_BRIDGE="1",
        )
        for folder in ("config", "data", "state", "cache", "run"):
            os.makedirs(os.path.join(self.work, folder), mode=0o700, exist_ok=True)
        self.sim_log = os.path.join(self.work, "sim.log")
        self.client_log = os.path.join(self.work, "client.log")

    # -- set-up and tear-down ------------------------------------------------------------

    def __enter__(self):
        try:
            self._start_display()
            if self.host_at_start:
                self.start_host()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.send_signal(signal.SIGTERM)
        for process in reversed(self.processes):
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                process.kill()
        if self.env.get("DBUS_SESSION_BUS_PID"):
            try:
                os.kill(int(self.env["DBUS_SESSION_BUS_PID"]), signal.SIGTERM)
            except ProcessLookupError:
                pass
        shutil.rmtree(self.work, ignore_errors=True)

    def spawn(self, command, log=None, **kwargs):
        out = open(log, "ab") if log else subprocess.DEVNULL
        process = subprocess.Popen(command, env=self.env, stdout=out, stderr=subprocess.STDOUT,
                                   **kwargs)
        self.processes.append(process)
        return process

    def run(self, command, check=True):
        return subprocess.run(command, env=self.env, check=check, capture_output=True).stdout

    def _start_display(self):
        read, write = os.pipe()
        # -noreset: by default the server resets when its last client leaves, which xdpyinfo
        # below is; a client connecting during that reset (slow on a busy machine, as it runs
        # xkbcomp again) is refused, and the tray client then ends for want of a display.
        self.display_server = self.spawn(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", self.screen + "x24",
             "-nolisten", "tcp", "-noreset"], pass_fds=(write,))
        os.close(write)
        with os.fdopen(read) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise SessionError("Xvfb did not start")
        self.env["DISPLAY"] = ":" + number
        wait_for("the display", lambda: self.run(["xdpyinfo"], check=False))

    def start_host(self):
        if self.host == "xembed":
            tint = "0xe8e8e8" if self.light else "0x2b2b2b"
            command = ["trayer", "--edge", "top", "--align", "right", "--widthtype", "percent",
                       "--width", "100", "--height", str(PANEL_HEIGHT), "--transparent", "true",
                       "--alpha", "0", "--tint", tint, "--SetDockType", "true"]
            log = os.path.join(self.work, "trayer.log")
            trayer = [self.spawn(command, log=log)]

            def trayer_window():
                # On a loaded machine trayer has been seen to end before it mapped its window;
                # it is started again rather than waited for in vain.
                if trayer[0].poll() is not None:
                    trayer[0] = self.spawn(command, log=log)
                return self.run(["xdotool", "search", "--class", "trayer"], check=False)

            wait_for("trayer", trayer_window, timeout=60)
        elif self.host == "sni":
            address = self.run(["dbus-daemon", "--session", "--fork", "--print-address=1",
                                "--print-pid=1"]).decode().split()
            self.env["DBUS_SESSION_BUS_ADDRESS"], self.env["DBUS_SESSION_BUS_PID"] = address[:2]
            channel = os.path.join(self.env["XDG_CONFIG_HOME"], "xfce4", "xfconf",
                                   "xfce-perchannel-xml")
            os.makedirs(channel)
            with open(os.path.join(channel, "xfce4-panel.xml"), "w") as config:
                config.write(XFCE_PANEL_CONFIG.format(dark="false" if self.light else "true",
                                                      height=PANEL_HEIGHT))
            self.spawn(["xfce4-panel"])
            wait_for("the StatusNotifierItem watcher", self._watcher_present, timeout=40)
        else:
            raise SessionError("unknown tray host " + self.host)

    def _watcher_present(self):
        reply = self.run(["dbus-send", "--session", "--print-reply",
                          "--dest=org.freedesktop.DBus", "/", "org.freedesktop.DBus.NameHasOwner",
                          "string:org.kde.StatusNotifierWatcher"], check=False)
        return b"true" in reply

    # -- the programs under test ---------------------------------------------------------

    def start_simulator(self, *arguments):
        jar = os.path.join(self.build_dir, "java", "vaultor-sim.jar")
        return self.spawn(["java", "-jar", jar, "--data-home", self.env["XDG_DATA_HOME"],
                           "--log", *arguments], log=self.sim_log)

    def set_defaults(self, **values):
        """Stores the client's user defaults (as the preferences window would) before it
        starts: VTDefaultsKeyIconThemeName="colors", for one."""
        folder = os.path.join(self.env["XDG_CONFIG_HOME"], "Vaultor")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "VaultorMenuBar.conf"), "w") as conf:
            conf.write("[General]\n")
            for key, value in values.items():
                conf.write("%s=%s\n" % (key, value))

    def start_client(self, *arguments):
        client = os.path.join(self.build_dir, "bin", "VaultorMenuBar")
        return self.spawn([client, *arguments], log=self.client_log)

    def sim_lines(self):
        try:
            with open(self.sim_log, errors="replace") as log:
                return log.read().splitlines()
        except FileNotFoundError:
            return []

    # -- the screen ----------------------------------------------------------------------

    def screenshot(self, path=None, crop=None):
        """The screen (or the crop (x, y, w, h) of it) as an Image; also saved when path."""
        command = ["import", "-window", "root"]
        if crop:
            command += ["-crop", "{2}x{3}+{0}+{1}".format(*crop), "+repage"]
        if path:
            self.run(command + [path])
            return None
        return Image.from_ppm(self.run(command + ["-depth", "8", "ppm:-"]))

    def client_windows(self):
        """(id, x, y, width, height) of each mapped window of the client."""
        ids = self.run(["xdotool", "search", "--onlyvisible", "--class", "VaultorMenuBar"],
                       check=False).split()
        windows = []
        for window in ids:
            geometry = {}
            for line in self.run(["xdotool", "getwindowgeometry", "--shell", window],
                                 check=False).decode().splitlines():
                key, _, value = line.partition("=")
                geometry[key] = value
            if "WIDTH" in geometry:
                windows.append((window.decode(), int(geometry["X"]), int(geometry["Y"]),
                                int(geometry["WIDTH"]), int(geometry["HEIGHT"])))
        return windows

    def panel_strip(self):
        width = int(self.screen.split("x")[0])
        return self.screenshot(crop=(0, 0, width, PANEL_HEIGHT))

    def find_icon(self, empty_strip=None, timeout=30):
        """The (x, y, w, h) of the client's tray icon: its own window when it is embedded (on
        an XEmbed tray, or when empty_strip is None); on a StatusNotifierItem host, which
        draws the icon itself, the part of the panel that changed since empty_strip."""
        if self.host == "xembed" or empty_strip is None:
            def docked():
                for _, x, y, w, h in self.client_windows():
                    if w <= 2 * ICON_SIZE and h <= 2 * ICON_SIZE and y < PANEL_HEIGHT:
                        return (x, y, w, h)
                return None
            return wait_for("the tray icon window", docked, timeout)

        def drawn():
            strip = self.panel_strip()
            changed = [(x, y) for y in range(strip.height) for x in range(strip.width)
                       if distance(strip.pixel(x, y), empty_strip.pixel(x, y)) > 60]
            if len(changed) < 20:
                return None
            xs = [x for x, _ in changed]
            ys = [y for _, y in changed]
            return (min(xs), min(ys), max(xs) - min(xs) + 1, max(ys) - min(ys) + 1)
        return wait_for("the tray icon on the panel", drawn, timeout)

    def icon_look(self, icon):
        """How the icon reads: "grey" (a hollow, colourless ring), "paused" (a filled
        colourless disc), "green", "amber", "red", "blue"; judged from its pixels against the
        panel next to it."""
        x, y, w, h = icon
        picture = self.screenshot(crop=(x, y, w, h))
        # The icon's corners show the panel behind it.
        corners = [picture.pixel(0, 0), picture.pixel(w - 1, 0), picture.pixel(0, h - 1),
                   picture.pixel(w - 1, h - 1)]
        background = min(corners, key=lambda c: sum(distance(c, other) for other in corners))
        ink = [picture.pixel(i, j) for j in range(h) for i in range(w)
               if distance(picture.pixel(i, j), background) > 60]
        if len(ink) < 10:
            return "empty"
        hues = [colorsys.rgb_to_hsv(*(c / 255 for c in p)) for p in ink]
        coloured = [hue for hue, saturation, value in hues if saturation > 0.45 and value > 0.3]
        if len(coloured) < len(ink) // 4:
            centre = picture.pixel(w // 2, h // 2)
            return "grey" if distance(centre, background) < 60 else "paused"
        mean = sorted(coloured)[len(coloured) // 2] * 360
        if 80 <= mean < 170:
            return "green"
        if 20 <= mean < 60:
            return "amber"
        if 180 <= mean < 260:
            return "blue"
        return "red"

    def click(self, point, button=1):
        self.run(["xdotool", "mousemove", str(point[0]), str(point[1]), "click", str(button)])

    def keys(self, *keys):
        for key in keys:
            self.run(["xdotool", "key", key])
            time.sleep(0.3)


def distance(a, b):
    return sum(abs(p - q) for p, q in zip(a, b))


def centre(box):
    x, y, w, h = box
    return (x + w // 2, y + h // 2)
