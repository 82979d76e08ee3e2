#!/usr/bin/env bash
# The logging hub against spdlog's asynchronous logger: messages per second to a file.
# ratio = hub / spdlog (1.0 is parity; above 0.5 means the hub is within 2x).
set -euo pipefail
BUILD_DIR=$1
shift
cmake --build "$BUILD_DIR" --target bench_logging >/dev/null
exec "$BUILD_DIR/bin/bench_logging" "$@"
