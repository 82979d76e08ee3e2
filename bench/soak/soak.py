#!/usr/bin/env python3
"""The soak run behind bench/soak.sh (see there for what it does and prints).

    soak.py BUILD_DIR MINUTES

The client runs headless with --print-status: its standard output tells every change of the
problem line, and its standard error is a terminal of its own, so that its console log shows
there. The simulator prints "listening on" once its endpoint file is in place; the file's
modification time is the moment the service became findable.
"""

import collections
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

UP_SECONDS = (10, 60)  # how long the service runs, then how long it stays away
DOWN_SECONDS = (10, 60)
NEW_PORT_CHANCE = 0.4
# (name, simulator switches, weight). The misbehaviours hit only the first connection of a
# run; the client has to notice and come back on a fresh one.
SCENARIOS = [
    ("clean", [], 5),
    ("stall mid-frame", ["--stall-mid-frame", "--misbehave-first", "1"], 1.5),
    ("garbage frame", ["--garbage", "--misbehave-first", "1"], 1.5),
    ("no pre-registration answer", ["--no-answer", "--misbehave-first", "1"], 2),
]

ALLOWANCE_SECONDS = 12.0  # the problem line may say "Connecting..." this long into an outage
STREAM_SKEW_SECONDS = 1.0  # log and status lines come through two pipes
RECOVERY_TARGET_SECONDS = 4.0
RSS_TARGET_MIB = 2.0
LINES_TARGET_PER_OUTAGE_HOUR = 100

UNABLE = "Unable to connect to backup service."
CONNECTING = "Connecting to backup service..."
CONNECTED = "** WE ARE CONNECTED **"
NOT_CONNECTED = "** WE ARE __NOT__ CONNECTED **"
CONNECTED_AFTER = re.compile(r"^Connected after \d+ attempts\.$")
LOG_LINE = re.compile(r"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d:\d{3} \S+\[\d+:[0-9a-f]+\] (.*)$")
LISTENING = re.compile(r"^listening on 127\.0\.0\.1:(\d+)$")


class Lines(threading.Thread):
    """Reads lines from a descriptor, each stamped with the monotonic time it arrived."""

    def __init__(self, descriptor):
        super().__init__(daemon=True)
        self.descriptor = descriptor
        self.lines = []

    def run(self):
        pending = b""
        while True:
            try:
                chunk = os.read(self.descriptor, 65536)
            except OSError:
                break
            if not chunk:
                break
            now = time.monotonic()
            pending += chunk
            *complete, pending = pending.split(b"\n")
            for line in complete:
                self.lines.append((now, line.decode("utf-8", "replace").rstrip("\r")))


class Simulator:
    def __init__(self, java, jar, data_home, port, switches):
        command = [java, "-jar", jar, "--data-home", data_home, "--speed", "5"]
        if port:
            command += ["--port", str(port)]
        self.process = subprocess.Popen(command + switches, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.output = Lines(self.process.stdout.fileno())
        self.output.start()

    def wait_until_listening(self, timeout=60):
        """The port, or None when the simulator ended first (its port was taken)."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            for _, line in list(self.output.lines):
                match = LISTENING.match(line)
                if match:
                    return int(match.group(1))
            if self.process.poll() is not None:
                return None
            time.sleep(0.05)
        return None

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


class Phase:
    def __init__(self, scenario, new_port, written, stopped):
        self.scenario = scenario
        self.new_port = new_port
        self.written = written
        self.stopped = stopped
        self.recovery = None


def rss_kib(pid):
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def sample_rss(pid, samples, stop):
    while not stop.is_set():
        try:
            samples.append((time.monotonic(), rss_kib(pid)))
        except OSError:
            return
        stop.wait(2)


def run(build_dir, minutes, seed):
    java = os.path.join(os.environ.get("JAVA_HOME", ""), "bin", "java")
    if not os.path.exists(java):
        java = "java"
    jar = os.path.join(build_dir, "java", "vaultor-sim.jar")
    client_program = os.path.join(build_dir, "bin", "VaultorMenuBar")
    work = tempfile.mkdtemp(prefix="vaultor-soak.")
    data_home = os.path.join(work, "data")
    endpoint_file = os.path.join(data_home, "Vaultor", ".ui_info")
    wall_minus_monotonic = time.time() - time.monotonic()
    rng = random.Random(seed)

    environment = dict(os.environ, XDG_DATA_HOME=data_home,
                       XDG_DATA_DIRS=os.path.join(work, "machine"))
    terminal, terminal_end = os.openpty()
    started = time.monotonic()
    client = subprocess.Popen([client_program, "--headless", "--print-status"],
                              env=environment, stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=terminal_end)
    os.close(terminal_end)
    status = Lines(client.stdout.fileno())
    log = Lines(terminal)
    status.start()
    log.start()
    rss = []
    stop_sampling = threading.Event()
    threading.Thread(target=sample_rss, args=(client.pid, rss, stop_sampling), daemon=True).start()

    phases = []
    port = None
    end = started + minutes * 60
    simulator = None
    try:
        time.sleep(rng.uniform(*DOWN_SECONDS) / 4)  # the client starts first, as at login
        while time.monotonic() < end:
            name, switches, _ = rng.choices(SCENARIOS, [s[2] for s in SCENARIOS])[0]
            new_port = port is None or rng.random() < NEW_PORT_CHANCE
            simulator = Simulator(java, jar, data_home, None if new_port else port, switches)
            listening = simulator.wait_until_listening()
            if listening is None and not new_port:
                new_port = True  # the old port went to someone else meanwhile
                simulator = Simulator(java, jar, data_home, None, switches)
                listening = simulator.wait_until_listening()
            if listening is None:
                sys.exit("soak: the simulator did not start")
            port = listening
            written = os.stat(endpoint_file).st_mtime - wall_minus_monotonic
            time.sleep(max(0.0, min(rng.uniform(*UP_SECONDS), end - time.monotonic())))
            simulator.stop()
            simulator = None
            phases.append(Phase(name, new_port, written, time.monotonic()))
            time.sleep(max(0.0, min(rng.uniform(*DOWN_SECONDS), end - time.monotonic())))
    finally:
        if simulator:
            simulator.stop()
        finished = time.monotonic()
        stop_sampling.set()
        client.terminate()
        client.wait(10)
        time.sleep(0.5)
        os.close(terminal)
        shutil.rmtree(work, ignore_errors=True)
    if os.environ.get("SOAK_LOG"):
        with open(os.environ["SOAK_LOG"], "w") as kept:
            for at, line in sorted(log.lines + status.lines):
                kept.write("%8.2f %s\n" % (at - started, line))
    report(started, finished, phases, status.lines, log.lines, rss, seed)


def registered_spans(messages, started, finished):
    """[(from, to)] while a connection was registered, from the client's log."""
    spans = []
    since = None
    for at, message in messages:
        if message == CONNECTED and since is None:
            since = at
        elif message == NOT_CONNECTED and since is not None:
            spans.append((since, at))
            since = None
    if since is not None:
        spans.append((since, finished))
    return spans


def wrong_problem_spans(spans, problems, started, finished):
    """Spans where the problem line disagreed with the connection: registered and a problem
    shown, or away for longer than the allowance and the line not saying so."""
    wrong = []
    current = None
    problem = CONNECTING  # shown before the printer starts
    changes = iter(problems)
    change = next(changes, None)
    step = 0.1
    t = started
    while t < finished:
        while change and change[0] <= t:
            problem = change[1]
            change = next(changes, None)
        inside = [span for span in spans if span[0] <= t < span[1]]
        if inside:
            right = problem == ""
        else:
            outage_start = max([span[1] for span in spans if span[1] <= t], default=started)
            right = t - outage_start < ALLOWANCE_SECONDS or problem == UNABLE
        if not right and current is None:
            current = [t, t, problem]
        if current is not None:
            if right:
                if current[1] - current[0] >= STREAM_SKEW_SECONDS:
                    wrong.append(tuple(current))
                current = None
            else:
                current[1] = t
        t += step
    if current is not None and current[1] - current[0] >= STREAM_SKEW_SECONDS:
        wrong.append(tuple(current))
    return wrong


def report(started, finished, phases, status_lines, log_lines, rss, seed):
    records = []
    for at, line in log_lines:
        match = LOG_LINE.match(line)
        if match:
            records.append((at, match.group(1)))
    problems = []
    for at, line in status_lines:
        if line.startswith("problem: "):
            text = line[len("problem: "):]
            problems.append((at, "" if text == "none" else text))
    spans = registered_spans(records, started, finished)
    for phase in phases:
        phase.recovery = next((at - phase.written for at, _ in spans
                               if phase.written <= at <= phase.stopped), None)

    hours = (finished - started) / 3600
    edges = [started] + [edge for span in spans for edge in span] + [finished]
    gaps = [(edges[i], edges[i + 1]) for i in range(0, len(edges), 2) if edges[i + 1] > edges[i]]
    outages = len(gaps)
    outage_hours = sum(to - since for since, to in gaps) / 3600

    print("soak: %.1f minutes, seed %d, %d service runs, %d outages (%.1f minutes away in all)"
          % ((finished - started) / 60, seed, len(phases), outages, outage_hours * 60))
    print()
    print("  run  scenario                     port  registered after endpoint file")
    for number, phase in enumerate(phases, 1):
        after = "%5.2f s" % phase.recovery if phase.recovery is not None else "not while it ran"
        print("  %3d  %-27s  %-4s  %s" % (number, phase.scenario,
                                          "new" if phase.new_port else "same", after))
    print()

    warm = phases[1].stopped if len(phases) >= 3 else (spans[0][0] if spans else started)
    after_warm = [kib for at, kib in rss if at >= warm]
    if after_warm:
        start_kib, end_kib = after_warm[0], after_warm[-1]
        print("client RSS after warm-up:   %.2f MiB at the start, %.2f MiB at the end, "
              "%+.2f MiB (target: flat within %.0f MiB); highest %.2f MiB"
              % (start_kib / 1024, end_kib / 1024, (end_kib - start_kib) / 1024, RSS_TARGET_MIB,
                 max(after_warm) / 1024))

    clean = [p.recovery for p in phases if p.scenario == "clean" and p.recovery is not None]
    if clean:
        late = sum(1 for r in clean if r > RECOVERY_TARGET_SECONDS)
        print("endpoint file -> registered, clean runs: longest %.2f s, median %.2f s, %d of %d "
              "over %.0f s (target: all within)"
              % (max(clean), sorted(clean)[len(clean) // 2], late, len(clean),
                 RECOVERY_TARGET_SECONDS))
    for name, _, _ in SCENARIOS[1:]:
        times = [p.recovery for p in phases if p.scenario == name and p.recovery is not None]
        missed = sum(1 for p in phases if p.scenario == name and p.recovery is None)
        if times or missed:
            print("endpoint file -> registered, %s: longest %s%s" % (
                name, "%.2f s" % max(times) if times else "-",
                ", %d runs too short to come back" % missed if missed else ""))

    wrong = wrong_problem_spans(spans, problems, started, finished)
    print("problem line wrong beyond its %.0f s allowance: %d spans%s" % (
        ALLOWANCE_SECONDS, len(wrong), " (target: none)" if not wrong else ":"))
    for since, to, shown in wrong:
        print("    at %6.1f s for %5.1f s it said %r" % (since - started, to - since,
                                                        shown or "(nothing)"))

    print("lines logged: %d in all, %.0f per hour of the run, %.0f per hour of outages "
          "(target: under %d), %.1f per outage"
          % (len(records), len(records) / hours, len(records) / outage_hours if outage_hours else 0,
             LINES_TARGET_PER_OUTAGE_HOUR, len(records) / max(outages, 1)))
    # Each outage is told by its own markers (lost, connected again, after how many attempts);
    # what the quiet log is about is everything else, the lines that a long outage repeats.
    others = [m for _, m in records if m not in (CONNECTED, NOT_CONNECTED)
              and not CONNECTED_AFTER.match(m)]
    print("lines logged besides the markers of each outage: %d, %.0f per hour of outages, "
          "%.1f per outage" % (len(others), len(others) / outage_hours if outage_hours else 0,
                               len(others) / max(outages, 1)))
    print("most logged:")
    for message, count in collections.Counter(m for _, m in records).most_common(8):
        print("  %5d  %s" % (count, message[:110]))


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: soak.py BUILD_DIR MINUTES")
    seed = int(os.environ.get("SOAK_SEED", str(int(time.time()))))
    run(sys.argv[1], float(sys.argv[2]), seed)


if __name__ == "__main__":
    main()
