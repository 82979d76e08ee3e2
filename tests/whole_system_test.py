#!/usr/bin/env python3
"""whole_system_test.py SOURCE_DIR BUILD_DIR: the demo's arrangement, headless and short.

sim/demo starts VaultorService on the shipped-runtime layout, which runs the simulator with its
native side (libnativio and libvtnative mapped into that very process), and the headless tray
client against it. A file copied into the watched folder must show in the client's status as
being sent within 10 s; as root with bpftrace, the simulator must also log that `cp` opened it.
Ending the demo must leave no process and no folder of it behind.
"""

import os
import queue
import re
import shutil
import signal
import subprocess
import sys
import threading
import time


class Failure(Exception):
    pass


def lines_of(stream, into):
    for line in iter(stream.readline, ""):
        into.put(line.rstrip("\n"))
    into.put(None)


def next_match(lines, pattern, timeout, what):
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
            raise Failure("the demo ended while waiting for " + what)
        match = re.search(pattern, line)
        if match:
            return match


def wait_until(check, timeout, what, interval=0.2):
    deadline = time.monotonic() + timeout
    while not check():
        if time.monotonic() > deadline:
            raise Failure("timed out after %d s waiting for %s" % (timeout, what))
        time.sleep(interval)


def mapped_libraries(pid):
    with open("/proc/%d/maps" % pid) as maps:
        return {os.path.basename(line.split()[-1]) for line in maps if "/" in line}


def processes_mentioning(text):
    """Processes whose command line or environment names text."""
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) == os.getpid():
            continue
        for part in ("cmdline", "environ"):
            try:
                with open("/proc/%s/%s" % (entry, part), "rb") as contents:
                    if text.encode() in contents.read():
                        found.append(int(entry))
                        break
            except OSError:
                pass
    return found


def can_detect():
    return os.geteuid() == 0 and shutil.which("bpftrace") is not None


def run(source_dir, build_dir):
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    env["VT_DEMO_EVERY"] = "3600"
    demo = subprocess.Popen([os.path.join(source_dir, "sim", "demo"), build_dir],
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, env=env,
                            start_new_session=True)
    out, err = queue.Queue(), queue.Queue()
    threading.Thread(target=lines_of, args=(demo.stdout, out), daemon=True).start()
    threading.Thread(target=lines_of, args=(demo.stderr, err), daemon=True).start()
    folder = None
    try:
        service = int(next_match(err, r"VaultorService \(pid (\d+)\)", 90, "the service").group(1))
        watched = next_match(err, r"^demo: watched folder (.+)$", 10, "the watched folder").group(1)
        folder = os.path.dirname(watched)
        next_match(err, r"^demo: client status lines follow$", 10, "the client")

        exe = os.readlink("/proc/%d/exe" % service)
        if os.path.basename(exe) != "VaultorService":
            raise Failure("the simulator runs in %s, not in VaultorService" % exe)
        libraries = mapped_libraries(service)
        for library in ("libnativio.so", "libvtnative.so", "libjvm.so"):
            if library not in libraries:
                raise Failure("VaultorService has no %s mapped" % library)

        log = os.path.join(folder, "simulator.log")
        if can_detect():
            wait_until(lambda: "detecting the files cp open" in open(log).read(), 60,
                       "the file-open detector to start")

        template = os.path.join(folder, "note.txt")
        copied = os.path.join(watched, "whole-system-check.txt")
        subprocess.run(["cp", template, copied], check=True)
        next_match(out, re.escape("Sending: " + copied), 10,
                   "the client to show the copied file being sent")
        if can_detect():
            # bpftrace attaches its probes some seconds after it starts, and says nothing when
            # it has: copies are made until one of them is reported.
            probes = []

            def detected():
                probe = os.path.join(watched, "detector-check-%d.txt" % len(probes))
                subprocess.run(["cp", template, probe], check=True)
                probes.append(probe)
                text = open(log).read()
                return any("detect: cp opened " + path in text for path in [copied] + probes)
            wait_until(detected, 60, "the simulator to log that cp opened a copied file",
                       interval=1)
    except Failure as failure:
        if folder is not None and os.path.exists(os.path.join(folder, "simulator.log")):
            with open(os.path.join(folder, "simulator.log")) as log_file:
                notes = [line for line in log_file if not line.startswith(("recv ", "send "))]
            raise Failure("%s\nthe simulator's notes:\n%s" % (failure, "".join(notes[-40:])))
        raise
    finally:
        if demo.poll() is None:
            demo.send_signal(signal.SIGINT)
        try:
            demo.wait(timeout=60)
        except subprocess.TimeoutExpired:
            os.killpg(demo.pid, signal.SIGKILL)
            raise Failure("the demo did not end within 60 s of Ctrl-C")
    if folder is not None:
        wait_until(lambda: not processes_mentioning(folder), 10,
                   "every process of the demo to end")
        if os.path.exists(folder):
            raise Failure("the demo left its folder %s behind" % folder)
    print("whole system: service, native side and client worked together%s" %
          (", with file-open detection" if can_detect() else
           " (file-open detection skipped: needs root and bpftrace)"))


if __name__ == "__main__":
    try:
        run(os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]))
    except Failure as failure:
        print("whole_system_test: " + str(failure), file=sys.stderr)
        sys.exit(1)
