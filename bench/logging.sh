#!/usr/bin/env bash
# The logging hub against spdlog's asynchronous logger: messages per second to a file.
# ratio = hub / spdlog (1.0 is parity; above 0.5 means the hub is within 2x).
#   ./dev bench logging [MESSAGES] [--before OLD_BUILD]   (--before: the same run with an
#   earlier build first, so both are measured on the machine as it is now)
set -euo pipefail
BUILD_DIR=$1
shift
source "$(dirname "$0")/before.sh"
if [[ -n $BEFORE ]]; then
    cmake --build "$BEFORE" --target bench_logging >/dev/null
    echo "before: $BEFORE"
    "$BEFORE/bin/bench_logging" ${ARGS[@]+"${ARGS[@]}"}
    echo "after: $BUILD_DIR"
fi
cmake --build "$BUILD_DIR" --target bench_logging >/dev/null
exec "$BUILD_DIR/bin/bench_logging" ${ARGS[@]+"${ARGS[@]}"}
