#!/usr/bin/env bash
# The headless tray client against a large simulated account (100 destinations, 100 sources)
# with menu-open polling forced on. Reports the client's CPU time per statistics message it
# received and its peak resident memory, and the simulator's own CPU time as the reference
# measured in the same run.   ./dev bench client [SECONDS] [--before OLD_BUILD]   (default 60)
# --before: the same measurement with the client of an earlier build first, against a simulator
# of this build, so that both are measured on the machine as it is now.
set -euo pipefail
BUILD_DIR=$1
shift
source "$(dirname "$0")/before.sh"
SECONDS_TO_RUN=${ARGS[0]:-60}
cmake --build "$BUILD_DIR" --target VaultorMenuBar vaultor-sim >/dev/null
if [[ -n $BEFORE ]]; then
    cmake --build "$BEFORE" --target VaultorMenuBar >/dev/null
fi
JAVA=${JAVA_HOME:+$JAVA_HOME/bin/}java
WORK=""
SIM_PID=""
CLIENT_PID=""
stop_processes() {
    local pid
    for pid in $CLIENT_PID $SIM_PID; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    CLIENT_PID=""
    SIM_PID=""
}
cleanup() {
    stop_processes
    [[ -z $WORK ]] || rm -rf "$WORK"
}
trap cleanup EXIT

# CPU seconds of a live process: the scheduler's nanosecond run time summed over its threads
# (the clock ticks of /proc/PID/stat are 10 ms, too coarse for a few messages).
cpu_seconds() {
    local ns
    ns=$(cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{sum += $1} END {printf "%d", sum}')
    echo "scale=6; $ns / 1000000000" | bc
}

stats_sent() { grep -c '^send -23102 StatsMessage' "$WORK/sim.out" || true; }

# One measurement of the client in build folder $1, against a fresh simulator of this build.
measure() {
    local client_build=$1
    WORK=$(mktemp -d -t vaultor-bench-client.XXXXXX)
    "$JAVA" -jar "$BUILD_DIR/java/vaultor-sim.jar" --data-home "$WORK" --destinations 100 \
        --sources 100 --speed 10 --log >"$WORK/sim.out" 2>"$WORK/sim.err" &
    SIM_PID=$!
    for _ in $(seq 1 200); do
        grep -q '^listening on ' "$WORK/sim.out" && break
        sleep 0.1
    done
    SIM_CPU_START=$(cpu_seconds "$SIM_PID")

    XDG_DATA_HOME=$WORK "$client_build/bin/VaultorMenuBar" --headless --menu-open >/dev/null 2>&1 &
    CLIENT_PID=$!
    # Measure from the first statistics message on, so start-up and registration are not counted.
    for _ in $(seq 1 300); do
        (($(stats_sent) > 0)) && break
        sleep 0.1
    done
    CLIENT_CPU_START=$(cpu_seconds "$CLIENT_PID")
    STATS_START=$(stats_sent)
    sleep "$SECONDS_TO_RUN"

    CLIENT_CPU=$(echo "$(cpu_seconds "$CLIENT_PID") - $CLIENT_CPU_START" | bc)
    CLIENT_RSS_KB=$(awk '/^VmHWM/ {print $2}' "/proc/$CLIENT_PID/status")
    SIM_CPU=$(echo "$(cpu_seconds "$SIM_PID") - $SIM_CPU_START" | bc)
    STATS=$(($(stats_sent) - STATS_START))
    STATS_BYTES=$(grep '^send -23102 StatsMessage' "$WORK/sim.out" | tail -1 | wc -c)
    APPSTATES=$(grep -c '^send -15227 AppStateMessage' "$WORK/sim.out" || true)

    echo "run:                      ${SECONDS_TO_RUN} s, 100 destinations, 100 sources, menu open"
    echo "stats messages received:  $STATS (last one about $((STATS_BYTES / 1024)) KiB), app-state messages: $APPSTATES"
    echo "client CPU after start-up: ${CLIENT_CPU} s"
    if ((STATS > 0)); then
        echo "client CPU per stats msg: $(echo "scale=2; $CLIENT_CPU * 1000 / $STATS" | bc) ms   (target < 2 ms)"
    fi
    echo "client peak RSS:          $(echo "scale=1; $CLIENT_RSS_KB / 1024" | bc) MiB   (target < 20 MiB)"
    echo "simulator CPU (peer):     ${SIM_CPU} s   client/simulator CPU ratio: $(echo "scale=3; $CLIENT_CPU / $SIM_CPU" | bc)"
    stop_processes
    rm -rf "$WORK"
    WORK=""
}

if [[ -n $BEFORE ]]; then
    echo "before: $BEFORE"
    measure "$BEFORE"
    echo "after: $BUILD_DIR"
fi
measure "$BUILD_DIR"
