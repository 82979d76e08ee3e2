#!/usr/bin/env bash
# ./dev bench detector: what file-open tracing costs programs that are not traced, and how late
# our detector reports the openings of one that is.
#   slowdown  1,000,000 open+close calls by an untraced program (best of 3 runs) with nothing
#             running, with our detector (tracing another name), with bpftrace's opensnoop.bt
#             and with bcc's opensnoop -n NAME (its name filter runs in user space); each
#             against nothing running; the row "tracepoints" is bpftrace with the same eight
#             syscall tracepoints as ours and probes that do nothing, the floor of this way of
#             tracing (an enabled syscall tracepoint sends every task's system calls through the
#             kernel's slower tracing path)
#   delay     a traced program opens 10,000 files (about 10,000 a second): the time from each
#             open to our callback (median and 99th percentile) and how many were never reported
# Needs root (the tracers load BPF programs).
set -euo pipefail
BUILD_DIR=$(cd "$1" && pwd)
shift
CALLS=${BENCH_DETECTOR_CALLS:-1000000}
OPENINGS=${BENCH_DETECTOR_OPENINGS:-10000}

if [[ $(id -u) != 0 ]]; then
    echo "detector: needs root to trace; skipped"
    exit 0
fi
cmake --build "$BUILD_DIR" --target vtnative bench_detector >/dev/null
BENCH=$BUILD_DIR/bin/bench_detector
LIBRARY=$BUILD_DIR/lib/libvtnative.so
WORK=$(mktemp -d /tmp/vtnative-bench-detector-XXXXXX)
PEER_PID=""

cleanup() {
    if [[ -n $PEER_PID ]]; then
        kill "$PEER_PID" 2>/dev/null || true
        wait "$PEER_PID" 2>/dev/null || true
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT

touch "$WORK/target"
mkdir "$WORK/traced"

# Best of three runs of the untraced loop, in nanoseconds.
best_loop() {
    local best="" run
    for _ in 1 2 3; do
        run=$("$BENCH" loop "$CALLS" "$WORK/target")
        if [[ -z $best ]] || ((run < best)); then best=$run; fi
    done
    echo "$best"
}

# Starts "$@" in the background with output to FILE, and waits (a guard of 120 s against a
# hang, not a guess at its start-up) until FILE holds PATTERN. Fails when the peer ends first.
start_peer() {
    local file=$1 pattern=$2
    shift 2
    "$@" >"$file" 2>"$file.err" &
    PEER_PID=$!
    local waited=0
    until grep -q "$pattern" "$file" 2>/dev/null; do
        if ! kill -0 "$PEER_PID" 2>/dev/null || ((waited > 12000)); then
            wait "$PEER_PID" 2>/dev/null || true
            PEER_PID=""
            return 1
        fi
        sleep 0.01
        waited=$((waited + 1))
    done
}

stop_peer() {
    kill -INT "$PEER_PID" 2>/dev/null || true
    wait "$PEER_PID" 2>/dev/null || true
    PEER_PID=""
}

slowdown() { awk -v t="$1" -v b="$2" 'BEGIN { printf "%+.1f %%", (t - b) * 100 / b }'; }
per_call() { awk -v t="$1" -v n="$CALLS" 'BEGIN { printf "%.0f", t / n }'; }

echo "detector: $CALLS open+close calls by an untraced program, $(nproc) cores," \
    "$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(uname -r)," \
    "$(bpftrace --version)"
base=$(best_loop)
declare -A took
took[nothing]=$base

if start_peer "$WORK/ours.out" '^ready' "$BENCH" ours "$LIBRARY" "$WORK/traced"; then
    took[ours]=$(best_loop)
    stop_peer
else
    echo "note: our detector did not start: $(tail -3 "$WORK/ours.out.err")"
fi

FLOOR='BEGIN { printf("ready\n"); }
tracepoint:syscalls:sys_enter_open, tracepoint:syscalls:sys_enter_openat,
tracepoint:syscalls:sys_enter_openat2, tracepoint:syscalls:sys_enter_creat,
tracepoint:syscalls:sys_exit_open, tracepoint:syscalls:sys_exit_openat,
tracepoint:syscalls:sys_exit_openat2, tracepoint:syscalls:sys_exit_creat
/ pid == 0 / { @never = 1; }'
if start_peer "$WORK/floor.out" '^ready' bpftrace -e "$FLOOR"; then
    took[tracepoints]=$(best_loop)
    stop_peer
fi

if command -v bpftrace >/dev/null && [[ -f /usr/sbin/opensnoop.bt ]] &&
    start_peer "$WORK/opensnoop-bt.out" '^PID' bpftrace /usr/sbin/opensnoop.bt; then
    took[opensnoop.bt]=$(best_loop)
    stop_peer
    lost=$({ grep -o 'Lost [0-9]* events' "$WORK/opensnoop-bt.out" || true; } |
        awk '{ n += $2 } END { print n + 0 }')
    echo "note: opensnoop.bt lost $lost events"
else
    echo "note: bpftrace's opensnoop.bt did not start (Debian package bpftrace)"
fi
rm -f "$WORK/opensnoop-bt.out"

if command -v opensnoop-bpfcc >/dev/null &&
    start_peer "$WORK/opensnoop-bcc.out" '^PID' opensnoop-bpfcc -n vtb-traced; then
    took[opensnoop-bpfcc]=$(best_loop)
    stop_peer
else
    reason=$(cat "$WORK/opensnoop-bcc.out" "$WORK/opensnoop-bcc.out.err" 2>/dev/null |
        grep -m1 -i 'kernel headers' || echo 'see Debian package bpfcc-tools')
    echo "note: bcc's opensnoop did not start: $reason"
fi

printf '%-16s %12s %10s %10s\n' running total_ms ns_per_call slowdown
for name in nothing tracepoints ours opensnoop.bt opensnoop-bpfcc; do
    [[ -n ${took[$name]:-} ]] || continue
    printf '%-16s %12s %10s %10s\n' "$name" "$((took[$name] / 1000000))" \
        "$(per_call "${took[$name]}")" "$(slowdown "${took[$name]}" "$base")"
done

echo "delay: $OPENINGS openings by a traced program"
"$BENCH" delay "$LIBRARY" "$WORK/traced" "$OPENINGS" 2>"$WORK/delay.err" |
    awk '{ printf "  %s %s\n", $1, $2 }'
grep -v 'RLIMIT_MEMLOCK' "$WORK/delay.err" | head -5 || true
