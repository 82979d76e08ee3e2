#!/usr/bin/env python3
"""tray_bench.py BUILD_DIR [--minute SECONDS]: what the tray client costs the desktop, against
SyncthingTray (a Qt tray client of a local service) in the same run.

1. Under Xvfb and trayer (an XEmbed tray) with a private session bus: our client against the
   simulator (10 destinations, 5 sources) and SyncthingTray against a local syncthing that
   runs in a network namespace of its own (loopback only; discovery, relays, NAT traversal,
   usage and crash reporting off). After a warm-up minute, while our backup sends and our
   icon animates: our CPU and trayer's per minute. Then our backup is paused for a day
   through the status panel (the simulator offers no world where nothing moves; paused is as
   quiet as it gets) and, menu closed, over one minute: CPU of both clients, then their
   resident memory (VmRSS) and its peak (VmHWM).
2. Under Xvfb and xfce4-panel on a private session bus, where the icon is a
   StatusNotifierItem: every message on the bus is captured for a minute while our icon
   animates, and the bytes of those our client sends (signals, and the replies to the
   host's property reads) are counted, with our CPU meanwhile. This runs once per icon
   theme ("no_animation" shows a still image while the backup sends).

CPU time is utime + stime of /proc/PID/stat. SECONDS (default 60) is the length of each
measured "minute" and of the warm-up; figures are always scaled to a minute.
"""

import os
import signal
import struct
import subprocess
import sys
import time
import xml.etree.ElementTree as ElementTree

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "menubar", "tests", "tray"))

from tray_session import SessionError, TraySession, centre, wait_for  # noqa: E402

DESTINATIONS, SOURCES = 10, 5
THEMES = ("dots", "colors", "gradient", "no_animation")
SYNCTHING_GUI = "127.0.0.1:8384"
SYNCTHING_API_KEY = "vaultor-bench-api-key"
TICKS = os.sysconf("SC_CLK_TCK")

# Targets of the issue.
RSS_SHARE = 0.5
BUS_BYTES_PER_SECOND = 20_000
ANIMATION_CORE_SHARE = 0.02


# -- /proc -------------------------------------------------------------------------------

def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rpartition(")")[2].split()
    # utime and stime are fields 14 and 15; the text after the command name starts at 3.
    return (int(fields[11]) + int(fields[12])) / TICKS


def memory_kib(pid):
    values = {}
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            key, _, value = line.partition(":")
            if key in ("VmRSS", "VmHWM"):
                values[key] = int(value.split()[0])
    return values["VmRSS"], values["VmHWM"]


class CpuMinute:
    """CPU seconds each process spends from start() to stop(), scaled to a minute."""

    def __init__(self, pids):
        self.pids = pids
        self.started = None
        self.before = {}
        self.per_minute = {}

    def start(self):
        self.started = time.monotonic()
        self.before = {name: cpu_seconds(pid) for name, pid in self.pids.items()}

    def stop(self):
        elapsed = time.monotonic() - self.started
        for name, pid in self.pids.items():
            self.per_minute[name] = (cpu_seconds(pid) - self.before[name]) * 60 / elapsed
        return self.per_minute


# -- the peer ----------------------------------------------------------------------------

class Syncthing:
    """syncthing in a network namespace with only loopback, and SyncthingTray connected to it
    from inside that namespace; both are processes of the session, so it tears them down."""

    def __init__(self, session):
        self.session = session
        self.home = os.path.join(session.work, "syncthing")
        self.folder = os.path.join(session.work, "synced")
        self.log = os.path.join(session.work, "syncthing.log")
        self.daemon = None
        self.tray = None

    def start(self):
        subprocess.run(["syncthing", "generate", "--home", self.home, "--no-default-folder"],
                       env=self.session.env, check=True, capture_output=True)
        self._configure()
        self.daemon = self.session.spawn(
            ["unshare", "--net", "sh", "-c",
             'ip link set lo up && exec syncthing serve --home "$0" --no-browser --no-restart '
             "--no-upgrade", self.home], log=self.log)
        wait_for("syncthing's GUI and REST address", self._listening, timeout=60)

    def _configure(self):
        os.makedirs(self.folder)
        for i in range(20):
            with open(os.path.join(self.folder, "note%02d.txt" % i), "w") as note:
                note.write("a file syncthing keeps in step\n" * (i + 1))
        path = os.path.join(self.home, "config.xml")
        tree = ElementTree.parse(path)
        root = tree.getroot()
        device = root.find("device").get("id")
        gui = root.find("gui")
        gui.find("address").text = SYNCTHING_GUI
        gui.find("apikey").text = SYNCTHING_API_KEY
        options = root.find("options")
        for key, value in (("listenAddress", "tcp://127.0.0.1:22000"),
                           ("globalAnnounceEnabled", "false"),
                           ("localAnnounceEnabled", "false"),
                           ("relaysEnabled", "false"),
                           ("natEnabled", "false"),
                           ("urAccepted", "-1"),
                           ("crashReportingEnabled", "false"),
                           ("autoUpgradeIntervalH", "0"),
                           ("startBrowser", "false")):
            options.find(key).text = value
        folder = ElementTree.Element("folder", id="bench", label="Bench", path=self.folder,
                                     type="sendreceive", rescanIntervalS="3600",
                                     fsWatcherEnabled="true", fsWatcherDelayS="10")
        ElementTree.SubElement(folder, "device", id=device)
        root.insert(0, folder)
        tree.write(path)

    def _listening(self):
        try:
            with open(self.log, errors="replace") as log:
                return "GUI and API listening on" in log.read()
        except FileNotFoundError:
            return False

    def start_tray(self):
        config = os.path.join(self.session.work, "syncthingtray-config")
        os.makedirs(config)
        # A connection already set up skips the first-launch wizard.
        with open(os.path.join(config, "syncthingtray.ini"), "w") as ini:
            ini.write("[tray]\n"
                      "connections\\1\\label=local\n"
                      "connections\\1\\syncthingUrl=http://%s\n"
                      "connections\\1\\apiKey=@ByteArray(%s)\n"
                      "connections\\1\\autoConnect=true\n"
                      "connections\\size=1\n" % (SYNCTHING_GUI, SYNCTHING_API_KEY))
        env = dict(self.session.env, XDG_CONFIG_HOME=config)
        log = open(os.path.join(self.session.work, "syncthingtray.log"), "ab")
        # nsenter joins syncthing's namespace and then runs SyncthingTray in its own place, so
        # the process measured is SyncthingTray itself.
        self.tray = subprocess.Popen(
            ["nsenter", "--net=/proc/%d/ns/net" % self.daemon.pid, "syncthingtray", "--wait"],
            env=env, stdout=log, stderr=subprocess.STDOUT)
        self.session.processes.append(self.tray)
        wait_for("SyncthingTray to connect to syncthing", self._connected, timeout=60)

    def _connected(self):
        sockets = subprocess.run(
            ["nsenter", "--net=/proc/%d/ns/net" % self.daemon.pid, "ss", "-Htnp", "state",
             "established", "dport", "=", ":8384"],
            capture_output=True, text=True).stdout
        return '"syncthingtray",pid=%d,' % self.tray.pid in sockets


# -- the bus -----------------------------------------------------------------------------

def pcap_records(data):
    """(length on the wire, D-Bus message) of each record of a pcap capture."""
    if len(data) < 24:
        return
    order = "<" if struct.unpack_from("<I", data)[0] == 0xA1B2C3D4 else ">"
    offset = 24
    while offset + 16 <= len(data):
        _, _, captured, length = struct.unpack_from(order + "IIII", data, offset)
        offset += 16
        yield length, data[offset:offset + captured]
        offset += captured


# Header field codes of the D-Bus wire format.
MEMBER_FIELD, DESTINATION_FIELD, SENDER_FIELD = 3, 6, 7
SIGNAL = 4


def header_fields(message):
    """The string fields of a D-Bus message's header by field code, and its message type."""
    order = "<" if message[:1] == b"l" else ">"
    (length,) = struct.unpack_from(order + "I", message, 12)
    fields, offset, end = {}, 16, 16 + length
    while offset < end:
        offset = (offset + 7) & ~7
        code, size = message[offset], message[offset + 1]
        signature = message[offset + 2:offset + 2 + size].decode()
        offset += 3 + size
        if signature in ("s", "o"):
            offset = (offset + 3) & ~3
            (count,) = struct.unpack_from(order + "I", message, offset)
            fields[code] = message[offset + 4:offset + 4 + count].decode(errors="replace")
            offset += 5 + count
        elif signature == "g":
            offset += 2 + message[offset]
        elif signature == "u":
            offset = ((offset + 3) & ~3) + 4
        else:
            break
    return message[1], fields


def bus_call(session, method, *arguments):
    return session.run(["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
                        "/org/freedesktop/DBus", "org.freedesktop.DBus." + method, *arguments],
                       check=False).decode()


def owner_pid(session, name):
    """The PID of the name's owner; None for a name gone since it was listed (such as the
    connection of the dbus-send that listed it)."""
    reply = bus_call(session, "GetConnectionUnixProcessID", "string:" + name).split()
    return int(reply[-1]) if reply and reply[-1].isdigit() else None


def names_of(session, pid):
    """The unique names of the process's connections to the session's bus."""
    listing = bus_call(session, "ListNames")
    names = [line.split('"')[1] for line in listing.splitlines() if line.strip().startswith(
        'string ":')]
    return {name for name in names if owner_pid(session, name) == pid}


def default_interrupt():
    """A bench started in the background ignores SIGINT, and its children would inherit that."""
    signal.signal(signal.SIGINT, signal.SIG_DFL)


def bus_traffic(capture, ours):
    """Bytes our names sent, bytes sent to them, and the icon changes they announced."""
    sent = received = new_icons = 0
    with open(capture, "rb") as file:
        data = file.read()
    for length, message in pcap_records(data):
        kind, fields = header_fields(message)
        if fields.get(SENDER_FIELD) in ours:
            sent += length
            new_icons += kind == SIGNAL and fields.get(MEMBER_FIELD) == "NewIcon"
        elif fields.get(DESTINATION_FIELD) in ours:
            received += length
    return sent, received, new_icons


# -- the run -----------------------------------------------------------------------------

def private_bus(session):
    """A session bus on a socket file, which the peer reaches from its network namespace."""
    socket = os.path.join(session.env["XDG_RUNTIME_DIR"], "bus")
    session.spawn(["dbus-daemon", "--session", "--nofork", "--address=unix:path=" + socket])
    wait_for("the session bus", lambda: os.path.exists(socket), timeout=10)
    session.env["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=" + socket


def animating(session, icon, shots=12):
    """How many different pictures the icon shows in a couple of seconds."""
    pictures = set()
    for _ in range(shots):
        pictures.add(session.screenshot(crop=icon).pixels)
        time.sleep(0.07)
    return len(pictures)


def pause_for_a_day(session, icon):
    session.click(centre(icon))
    wait_for("the status panel", lambda: [w for w in session.client_windows() if w[4] > 100],
             timeout=15)
    session.keys("p", "d")
    wait_for("the simulator to receive the pause",
             lambda: any("PauseSystemMessage" in line and "1440" in line
                         for line in session.sim_lines()), timeout=15)
    wait_for("the panel to close",
             lambda: not [w for w in session.client_windows() if w[4] > 100], timeout=15)
    wait_for("the paused image", lambda: session.icon_look(icon) == "paused", timeout=20)


def trayer_run(build_dir, minute):
    figures = {}
    with TraySession("xembed", build_dir) as session:
        private_bus(session)
        peer = Syncthing(session)
        peer.start()
        started = time.monotonic()
        session.start_simulator("--destinations", str(DESTINATIONS), "--sources", str(SOURCES))
        client = session.start_client()
        peer.start_tray()
        icon = session.find_icon()
        wait_for("our icon to show the backup's status",
                 lambda: session.icon_look(icon) not in ("grey", "empty"), timeout=60)
        trayer = next(p for p in session.processes if p.args[0] == "trayer")
        time.sleep(max(0.0, started + minute - time.monotonic()))

        figures["frames seen"] = animating(session, icon)
        busy = CpuMinute({"ours": client.pid, "trayer": trayer.pid, "peer": peer.tray.pid})
        busy.start()
        time.sleep(minute)
        figures["animating"] = busy.stop()
        figures["rss animating"] = memory_kib(client.pid)

        pause_for_a_day(session, icon)
        time.sleep(5)
        quiet = CpuMinute({"ours": client.pid, "peer": peer.tray.pid})
        quiet.start()
        time.sleep(minute)
        figures["idle"] = quiet.stop()
        figures["rss ours"] = memory_kib(client.pid)
        figures["rss peer"] = memory_kib(peer.tray.pid)
        for process in (client, peer.tray):
            if process.poll() is not None:
                raise SessionError("%s exited during the run" % process.args[-1])
    return figures


def xfce_run(build_dir, minute, theme):
    with TraySession("sni", build_dir) as session:
        session.set_defaults(VTDefaultsKeyIconThemeName=theme)
        empty = session.panel_strip()
        session.start_simulator("--destinations", str(DESTINATIONS), "--sources", str(SOURCES))
        client = session.start_client()
        icon = session.find_icon(empty, timeout=60)
        wait_for("our icon to show the backup's status",
                 lambda: session.icon_look(icon) not in ("grey", "empty"), timeout=60)
        ours = names_of(session, client.pid)
        # The panel's notification area runs as a plugin process that owns the watcher.
        systray = owner_pid(session, "org.kde.StatusNotifierWatcher")
        time.sleep(minute / 4)
        frames = animating(session, icon)
        capture = os.path.join(session.work, "bus.pcap")
        with open(capture, "wb") as out:
            monitor = subprocess.Popen(["dbus-monitor", "--session", "--pcap"], env=session.env,
                                       stdout=out, stderr=subprocess.DEVNULL,
                                       preexec_fn=default_interrupt)
            time.sleep(1)
            cpu = CpuMinute({"ours": client.pid, "systray": systray})
            cpu.start()
            begun = time.monotonic()
            time.sleep(minute)
            seconds = time.monotonic() - begun
            per_minute = cpu.stop()
            monitor.send_signal(signal.SIGINT)
            monitor.wait(timeout=10)
        sent, received, new_icons = bus_traffic(capture, ours)
        return {"frames seen": frames, "sent": sent / seconds, "received": received / seconds,
                "new icons": new_icons / seconds, "cpu": per_minute}


def verdict(ok):
    return "meets" if ok else "MISSES"


def report(trayer, themes, minute):
    xfce = themes["dots"]
    mib = lambda kib: kib / 1024  # noqa: E731
    ours_rss, ours_hwm = trayer["rss ours"]
    peer_rss, peer_hwm = trayer["rss peer"]
    anim_rss, anim_hwm = trayer["rss animating"]
    idle, busy = trayer["idle"], trayer["animating"]
    print("tray: %d destinations, %d sources; each measured minute %d s, scaled to 60 s; %d cores"
          % (DESTINATIONS, SOURCES, minute, os.cpu_count()))
    print()
    print("idle, menu closed (our backup paused for a day; trayer)")
    print("  RSS      ours %6.1f MiB (peak %.1f)   SyncthingTray %6.1f MiB (peak %.1f)"
          % (mib(ours_rss), mib(ours_hwm), mib(peer_rss), mib(peer_hwm)))
    print("           ours / SyncthingTray %.3f   (target at most %.1f: %s)"
          % (ours_rss / peer_rss, RSS_SHARE, verdict(ours_rss <= RSS_SHARE * peer_rss)))
    print("  RSS before the panel was ever opened (animating): %.1f MiB (peak %.1f), %.3f of"
          " SyncthingTray's" % (mib(anim_rss), mib(anim_hwm), anim_rss / peer_rss))
    ratio = idle["ours"] / idle["peer"] if idle["peer"] else float("inf")
    print("  CPU/min  ours %6.2f s   SyncthingTray %6.2f s   ours / SyncthingTray %.3f"
          "   (target at most 1: %s)" % (idle["ours"], idle["peer"], ratio,
                                         verdict(idle["ours"] <= idle["peer"])))
    print()
    print("animating (simulator sending; trayer, XEmbed; %d different pictures in 12 shots)"
          % trayer["frames seen"])
    print("  CPU/min  ours %6.2f s = %.2f%% of a core   (target at most %.0f%%: %s)"
          % (busy["ours"], busy["ours"] / 60 * 100, ANIMATION_CORE_SHARE * 100,
             verdict(busy["ours"] <= ANIMATION_CORE_SHARE * 60)))
    print("  CPU/min  trayer %6.2f s = %.2f%% of a core;   SyncthingTray meanwhile %6.2f s"
          % (busy["trayer"], busy["trayer"] / 60 * 100, busy["peer"]))
    print()
    print("animating on xfce4-panel (StatusNotifierItem over a private session bus; %d"
          " different pictures in 12 shots, %.2f NewIcon signals/s)"
          % (xfce["frames seen"], xfce["new icons"]))
    print("  bus      ours %8.0f B/s   (target at most %d B/s: %s; ratio %.3f)"
          % (xfce["sent"], BUS_BYTES_PER_SECOND, verdict(xfce["sent"] <= BUS_BYTES_PER_SECOND),
             xfce["sent"] / BUS_BYTES_PER_SECOND))
    print("           the host's calls to us %.0f B/s" % xfce["received"])
    print("  CPU/min  ours %6.2f s = %.2f%% of a core   (target at most %.0f%%: %s);"
          " the panel's systray plugin %6.2f s = %.2f%%"
          % (xfce["cpu"]["ours"], xfce["cpu"]["ours"] / 60 * 100, ANIMATION_CORE_SHARE * 100,
             verdict(xfce["cpu"]["ours"] <= ANIMATION_CORE_SHARE * 60),
             xfce["cpu"]["systray"], xfce["cpu"]["systray"] / 60 * 100))
    print()
    print("each icon theme while the backup sends (xfce4-panel, StatusNotifierItem)")
    print("  %-13s %8s %8s %12s %8s %s" % ("theme", "bus B/s", "ratio", "CPU/min s", "core %",
                                          "pictures in 12 shots"))
    for theme in THEMES:
        run = themes[theme]
        print("  %-13s %8.0f %8.3f %12.2f %8.2f %d" % (
            theme, run["sent"], run["sent"] / BUS_BYTES_PER_SECOND, run["cpu"]["ours"],
            run["cpu"]["ours"] / 60 * 100, run["frames seen"]))


def main(arguments):
    # Stopped from outside, the sessions still tear their desktops down.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    build_dir = os.path.abspath(arguments[0])
    minute = 60
    if arguments[1:2] == ["--minute"]:
        minute = int(arguments[2])
    trayer = trayer_run(build_dir, minute)
    themes = {theme: xfce_run(build_dir, minute, theme) for theme in THEMES}
    report(trayer, themes, minute)
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv[1:]))
    except SessionError as error:
        print("tray bench: %s" % error, file=sys.stderr)
        sys.exit(1)
