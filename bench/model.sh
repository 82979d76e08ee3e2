#!/usr/bin/env bash
# ./dev bench model [--before OLD_BUILD]: applying app-state and statistics documents of a large
# account to a warm state, against QJsonDocument::fromJson of the same text, and the state's
# heap. --before: the same run with an earlier build first.
set -euo pipefail
BUILD_DIR=$1
shift
source "$(dirname "$0")/before.sh"
if [[ -n $BEFORE ]]; then
    cmake --build "$BEFORE" --target bench_model >/dev/null
    echo "before: $BEFORE"
    "$BEFORE/bin/bench_model"
    echo "after: $BUILD_DIR"
fi
cmake --build "$BUILD_DIR" --target bench_model >/dev/null
exec "$BUILD_DIR/bin/bench_model"
