#!/usr/bin/env python3
"""package_test.py BUILD_DIR PACKAGE: the Debian package on this very machine.

Builds the .deb with CPack from BUILD_DIR, checks it with lintian, installs it with dpkg -i,
validates the installed desktop entry and metainfo, checks that the icons and man pages are
where desktops and man look and that the man pages list exactly the options --help lists,
runs the installed VaultorService with the simulator on the installed libraries and jar and the
installed client headless against it, then removes the package and checks that nothing it
installed is left. The package is removed again whatever fails. Needs root and dpkg; skips
(status 77) without them, and when dpkg knows the package already (the test would remove it).
"""

import os
import queue
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import threading
import time

SKIP = 77
CLIENT = "/usr/bin/VaultorMenuBar"
HEADLESS_CLIENT = "/usr/libexec/vaultor/VaultorMenuBar-headless"
SERVICE = "/usr/bin/VaultorService"
APP_LIB = "/opt/vaultor/lib"
JAR = "/usr/share/java/nativio.jar"
DESKTOP_ID = "VaultorMenuBar.desktop"
DESKTOP_ENTRY = "/usr/share/applications/" + DESKTOP_ID
METAINFO = "/usr/share/metainfo/com.vaultor.menubar.metainfo.xml"
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
MAN = "/usr/share/man/man1/%s.1.gz"


class Failure(Exception):
    pass


class Interrupted(Exception):
    pass


def run(command, **kwargs):
    return subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                          **kwargs)


def checked(command, what, **kwargs):
    result = run(command, **kwargs)
    if result.returncode != 0:
        raise Failure("%s failed (status %d):\n%s" % (what, result.returncode, result.stdout))
    return result.stdout


def known(package):
    """dpkg's status of the package, or None when dpkg does not know it."""
    result = run(["dpkg-query", "-W", "-f=${Status}", package])
    if result.returncode != 0 or result.stdout.endswith(" not-installed"):
        return None
    return result.stdout


def build_package(build_dir, out_dir, package):
    checked(["cpack", "-G", "DEB", "--config", os.path.join(build_dir, "CPackConfig.cmake"),
             "-B", out_dir], "cpack", cwd=build_dir)
    debs = [name for name in os.listdir(out_dir) if name.endswith(".deb")]
    if len(debs) != 1 or not re.fullmatch(re.escape(package) + r"_[0-9][^_]*_amd64\.deb", debs[0]):
        raise Failure("cpack made %s, not one %s_<version>_amd64.deb" % (debs, package))
    return os.path.join(out_dir, debs[0])


def package_paths(deb):
    """Every path the package installs, as dpkg-deb lists it (without the leading '.')."""
    paths = []
    for line in checked(["dpkg-deb", "-c", deb], "dpkg-deb -c").splitlines():
        name = line.split(None, 5)[5].split(" -> ")[0]
        path = "/" + name.lstrip("./").rstrip("/")
        if path != "/":
            paths.append(path)
    return paths


def check_lintian(deb):
    """lintian may leave informational notes and overrides, no warnings or errors."""
    output = run(["lintian", "--display-info", "--show-overrides", deb]).stdout
    print("lintian:\n" + (output or "(nothing)\n"))
    bad = [line for line in output.splitlines() if line.startswith(("E:", "W:"))]
    if bad:
        raise Failure("lintian reports:\n" + "\n".join(bad))


def png_size(path):
    with open(path, "rb") as png:
        head = png.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n":
        raise Failure(path + " is no PNG file")
    return struct.unpack(">II", head[16:24])


def check_layout():
    for path in (CLIENT, HEADLESS_CLIENT, SERVICE):
        if not os.access(path, os.X_OK):
            raise Failure(path + " is not an installed program")
    for name in ("libvtnative.so", "libnativio.so"):
        if not os.path.isfile(os.path.join(APP_LIB, name)):
            raise Failure("%s is not in %s" % (name, APP_LIB))
    runtime = os.path.join(APP_LIB, "runtime")
    if not os.path.islink(runtime) or not os.path.isfile(os.path.join(runtime, "lib/libjli.so")):
        raise Failure(runtime + " is no link to a Java runtime with lib/libjli.so")
    if not os.path.isfile(JAR):
        raise Failure(JAR + " is not installed")
    checked(["desktop-file-validate", DESKTOP_ENTRY], "desktop-file-validate")
    checked(["appstreamcli", "validate", "--no-net", METAINFO], "appstreamcli validate")
    for size in ICON_SIZES:
        icon = "/usr/share/icons/hicolor/%dx%d/apps/VaultorMenuBar.png" % (size, size)
        if not os.path.isfile(icon) or png_size(icon) != (size, size):
            raise Failure("%s is missing or not %d px square" % (icon, size))
    if not os.path.isfile("/usr/share/icons/hicolor/scalable/apps/VaultorMenuBar.svg"):
        raise Failure("the scalable icon is not installed")
    entry = desktop_entry(DESKTOP_ENTRY)
    if entry.get("Icon") != "VaultorMenuBar" or entry.get("Exec") != CLIENT:
        raise Failure("the desktop entry names icon %r and program %r" %
                      (entry.get("Icon"), entry.get("Exec")))


def desktop_entry(path):
    values = {}
    with open(path) as entry:
        for line in entry:
            key, equals, value = line.strip().partition("=")
            if equals and key not in values:
                values[key] = value
    return values


def options_in(text):
    return set(re.findall(r"(?<![\w-])(--?[a-z][a-z-]*)", text))


def man_section(page, section):
    env = dict(os.environ, MANWIDTH="200", LC_ALL="C")
    text = checked(["man", "-P", "cat", "-l", MAN % page], "man " + page, env=env)
    text = re.sub(r".\x08", "", text)
    match = re.search(r"^%s\n(.*?)(?=^\S)" % section, text, re.S | re.M)
    if not match:
        raise Failure("the man page of %s has no %s section" % (page, section))
    return match.group(1)


def check_help_and_man_pages(env):
    # Everything --help lists, the man page's OPTIONS lists, and nothing else.
    help_text = checked([CLIENT, "--help"], "VaultorMenuBar --help", env=env)
    listed = options_in(help_text.partition("Options:")[2])
    documented = options_in(man_section("VaultorMenuBar", "OPTIONS"))
    if listed != documented:
        raise Failure("VaultorMenuBar --help lists %s, its man page %s" %
                      (sorted(listed), sorted(documented)))
    # VaultorService has no options of its own: --help is the Java runtime's.
    service_help = checked([SERVICE, "--help"], "VaultorService --help", env=env)
    if "Usage: java " not in service_help:
        raise Failure("VaultorService --help did not print the Java launcher's help:\n" +
                      service_help)
    if "no options of its own" not in " ".join(man_section("VaultorService", "OPTIONS").split()):
        raise Failure("the man page of VaultorService does not say that it has no options")


def lines_of(stream, into):
    for line in iter(stream.readline, ""):
        into.put(line.rstrip("\n"))
    into.put(None)


def wait_for_line(lines, pattern, timeout, what):
    deadline = time.monotonic() + timeout
    while True:
        left = deadline - time.monotonic()
        if left <= 0:
            raise Failure("timed out after %d s waiting for %s" % (timeout, what))
        try:
            line = lines.get(timeout=left)
        except queue.Empty:
            continue
        if line is None:
            raise Failure("the program ended while waiting for " + what)
        if re.search(pattern, line):
            return line


def start(command, env):
    process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                               text=True, env=env, start_new_session=True)
    lines = queue.Queue()
    threading.Thread(target=lines_of, args=(process.stdout, lines), daemon=True).start()
    return process, lines


def stop(process):
    if process.poll() is None:
        os.killpg(process.pid, signal.SIGTERM)
        try:
            process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()


def check_programs(build_dir, work, env):
    """The installed service runs the simulator on the installed libraries and jar; the
    installed client connects to it headless and writes its autostart entry as installed."""
    sim_dir = os.path.join(work, "sim")
    watched = os.path.join(work, "watched")
    os.makedirs(sim_dir)
    os.makedirs(watched)
    # The simulator alone, without the build's nativio.jar beside it: the installed one serves.
    sim_jar = shutil.copy(os.path.join(build_dir, "java", "vaultor-sim.jar"), sim_dir)
    processes = []
    try:
        service, service_lines = start(
            [SERVICE, "-Dnativio.library=%s/libnativio.so" % APP_LIB,
             "-Dvtnative.library=%s/libvtnative.so" % APP_LIB, "-cp", sim_jar + ":" + JAR,
             "com.vaultor.sim.Main", "--data-home", env["XDG_DATA_HOME"], "--destinations", "2",
             "--sources", "1", "--watch", watched], env)
        processes.append(service)
        wait_for_line(service_lines, r"^listening on ", 90, "the service to listen")
        with open("/proc/%d/maps" % service.pid) as maps:
            mapped = {line.split()[-1] for line in maps if "/" in line}
        for library in ("libnativio.so", "libvtnative.so"):
            if os.path.join(APP_LIB, library) not in mapped:
                raise Failure("VaultorService has not mapped %s/%s" % (APP_LIB, library))

        client, client_lines = start([CLIENT, "--headless", "--print-status"], env)
        processes.append(client)
        wait_for_line(client_lines, r"^status: (?!.*\(not connected\)).* \| ", 60,
                      "the client's status line of the connected service")
        # Headless, the client has become the program that carries no graphical library.
        if os.readlink("/proc/%d/exe" % client.pid) != HEADLESS_CLIENT:
            raise Failure("the headless client runs %s, not %s" %
                          (os.readlink("/proc/%d/exe" % client.pid), HEADLESS_CLIENT))
        with open("/proc/%d/maps" % client.pid) as maps:
            graphical = {line.split()[-1] for line in maps if "libQt6Gui" in line or
                         "libQt6Widgets" in line}
        if graphical:
            raise Failure("the headless client has mapped %s" % ", ".join(sorted(graphical)))
        stop(client)

        # With its tray (on Qt's offscreen screen) the client starts at login by default: the
        # entry it writes must name the program the installed desktop entry runs.
        tray, tray_lines = start([CLIENT, "--print-status"], dict(env, QT_QPA_PLATFORM="offscreen"))
        processes.append(tray)
        wait_for_line(tray_lines, r"^status: (?!.*\(not connected\)).* \| ", 60,
                      "the tray client's status line of the connected service")
        autostart = os.path.join(env["XDG_CONFIG_HOME"], "autostart", DESKTOP_ID)
        if not os.path.isfile(autostart):
            raise Failure("the client wrote no autostart entry %s" % autostart)
        if desktop_entry(autostart).get("Exec") != desktop_entry(DESKTOP_ENTRY).get("Exec"):
            raise Failure("the autostart entry and the installed desktop entry run %r and %r" %
                          (desktop_entry(autostart).get("Exec"),
                           desktop_entry(DESKTOP_ENTRY).get("Exec")))
    finally:
        for process in reversed(processes):
            stop(process)


def remove(package):
    """Removes the package, whatever state a failed install left it in; a signal must not cut
    this short. Returns what went wrong, or None."""
    signal.signal(signal.SIGTERM, signal.SIG_IGN)
    signal.signal(signal.SIGINT, signal.SIG_IGN)
    removed = run(["dpkg", "-r", package])
    if known(package) is None:
        return None
    purged = run(["dpkg", "--purge", package])
    if known(package) is None:
        return None
    return "dpkg could not remove %s:\n%s%s" % (package, removed.stdout, purged.stdout)


def check_removed(paths, existed_before):
    left = [path for path in paths if path not in existed_before and os.path.lexists(path)]
    if left:
        raise Failure("left behind after removal: " + ", ".join(left))
    cache = "/usr/share/icons/hicolor/icon-theme.cache"
    if os.path.isfile(cache) and b"VaultorMenuBar" in open(cache, "rb").read():
        raise Failure("the icon cache still lists VaultorMenuBar after removal")


def interrupt(signum, frame):
    raise Interrupted("signal %d" % signum)


def main(build_dir, package):
    if os.geteuid() != 0:
        print("package: skipped, installing a package needs root")
        return SKIP
    if shutil.which("dpkg") is None:
        print("package: skipped, no dpkg on this machine")
        return SKIP
    if known(package):
        print("package: skipped, dpkg knows %s here (%s) and the test would remove it"
              % (package, known(package)))
        return SKIP
    for tool in ("cpack", "dpkg-deb", "lintian", "desktop-file-validate", "appstreamcli", "man"):
        if shutil.which(tool) is None:
            raise Failure("%s is missing (./dev setup installs it)" % tool)
    signal.signal(signal.SIGTERM, interrupt)
    signal.signal(signal.SIGINT, interrupt)

    work = tempfile.mkdtemp(prefix="vaultor-package.")
    try:
        deb = build_package(build_dir, os.path.join(work, "deb"), package)
        paths = package_paths(deb)
        print("the package installs:\n  " + "\n  ".join(paths))
        check_lintian(deb)
        existed_before = {path for path in paths if os.path.lexists(path)}
        # A private home, settings and data folder: the installed client must not add itself to
        # this machine's login items nor find another service.
        env = {key: value for key, value in os.environ.items()
               if key not in ("DISPLAY", "WAYLAND_DISPLAY", "XDG_CONFIG_DIRS", "XDG_DATA_DIRS")}
        for name, folder in (("HOME", "home"), ("XDG_CONFIG_HOME", "config"),
                             ("XDG_DATA_HOME", "data")):
            env[name] = os.path.join(work, folder)
            os.makedirs(env[name])
        env["XDG_DATA_DIRS"] = os.path.join(work, "no-data")
        try:
            checked(["dpkg", "-i", deb], "dpkg -i")
            check_layout()
            check_help_and_man_pages(env)
            check_programs(build_dir, work, env)
        finally:
            removal_failure = remove(package)
            if removal_failure:
                print("package_test: " + removal_failure, file=sys.stderr)
        if removal_failure:
            raise Failure(removal_failure)
        check_removed(paths, existed_before)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("package: %s installed, ran and removed cleanly" % os.path.basename(deb))
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main(os.path.abspath(sys.argv[1]), sys.argv[2]))
    except (Failure, Interrupted) as failure:
        print("package_test: " + str(failure), file=sys.stderr)
        sys.exit(1)
