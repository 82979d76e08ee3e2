#!/usr/bin/env bash
# The headless tray client against a large simulated account (100 destinations, 100 sources)
# with menu-open polling forced on. Reports the client's CPU time per statistics message it
# received and its peak resident memory, and the simulator's own CPU time as the reference
# measured in the same run.   ./dev bench client [SECONDS]   (default 60)
set -euo pipefail
BUILD_DIR=$1
SECONDS_TO_RUN=${2:-60}
cmake --build "$BUILD_DIR" --target VaultorMenuBar vaultor-sim >/dev/null
JAVA=${JAVA_HOME:+$JAVA_HOME/bin/}java
WORK=$(mktemp -d -t vaultor-bench-client.XXXXXX)
SIM_PID=""
CLIENT_PID=""
cleanup() {
    local pid
    for pid in $CLIENT_PID $SIM_PID; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$WORK"
}
trap cleanup EXIT

# CPU seconds of a live process: the scheduler's nanosecond run time summed over its threads
# (the clock ticks of /proc/PID/stat are 10 ms, too coarse for a few messages).
cpu_seconds() {
    local ns
    ns=$(cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{sum += $1} END {printf "%d", sum}')
    echo "scale=6; $ns / 1000000000" | bc
}

"$JAVA" -jar "$BUILD_DIR/java/vaultor-sim.jar" --data-home "$WORK" --destinations 100 \
    --sources 100 --speed 10 --log >"$WORK/sim.out" 2>"$WORK/sim.err" &
SIM_PID=$!
for _ in $(seq 1 200); do
    grep -q '^listening on ' "$WORK/sim.out" && break
    sleep 0.1
done
SIM_CPU_START=$(cpu_seconds "$SIM_PID")

stats_sent() { grep -c '^send -23102 StatsMessage' "$WORK/sim.out" || true; }

XDG_DATA_HOME=$WORK "$BUILD_DIR/bin/VaultorMenuBar" --headless --menu-open >/dev/null 2>&1 &
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
echo "client peak RSS:          $(echo "scale=1; $CLIENT_RSS_KB / 1024" | bc) MiB   (target < 25 MiB)"
echo "simulator CPU (peer):     ${SIM_CPU} s   client/simulator CPU ratio: $(echo "scale=3; $CLIENT_CPU / $SIM_CPU" | bc)"
