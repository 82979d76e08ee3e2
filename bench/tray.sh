#!/usr/bin/env bash
# ./dev bench tray [--minute SECONDS]: what the tray client costs the desktop, against
# SyncthingTray connected to a local syncthing, in one run: resident memory and CPU per idle
# minute of both under trayer, our CPU and trayer's while our icon animates, and the bytes per
# second our StatusNotifierItem puts on the session bus of xfce4-panel. Prints each figure with
# its ratio against its target. See tray_bench.py.
set -euo pipefail
BUILD_DIR=$(cd "$1" && pwd)
shift
cmake --build "$BUILD_DIR" --target VaultorMenuBar vaultor-sim >/dev/null
exec python3 "$(dirname "$0")/tray_bench.py" "$BUILD_DIR" "$@"
