#!/usr/bin/env bash
# ./dev bench soak [MINUTES] (default 10): the headless tray client against a simulated service
# that is stopped and restarted at random intervals of 10 to 60 s, sometimes on a new port (the
# token is new on every start), and that sometimes stalls mid-frame, sends a garbage frame or
# never answers pre-registration on its first connection. Prints the client's memory at the
# start (after warm-up) and at the end, the longest time from "endpoint file written" to
# "registered", every span where the problem line was wrong beyond its 12 s allowance, and the
# lines the client logged per hour. SOAK_SEED=N replays a run; SOAK_LOG=FILE keeps the client's
# log and status lines.
set -euo pipefail
BUILD_DIR=$1
MINUTES=${2:-10}
cmake --build "$BUILD_DIR" --target VaultorMenuBar vaultor-sim >/dev/null
exec python3 "$(cd "$(dirname "$0")" && pwd)/soak/soak.py" "$BUILD_DIR" "$MINUTES"
