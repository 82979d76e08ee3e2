#!/usr/bin/env bash
# ./dev bench model: applying app-state and statistics documents of a large account to a warm
# state, against QJsonDocument::fromJson of the same text, and the state's heap.
set -euo pipefail
BUILD_DIR=$1
cmake --build "$BUILD_DIR" --target bench_model >/dev/null
exec "$BUILD_DIR/bin/bench_model"
