#!/usr/bin/env bash
# ./dev bench watcher [--large]: our file watcher (through libvtnative's C interface, once on
# its fanotify back-end when the bench runs as root, once on inotify) against inotifywait -r -m, fswatch -r and watchman on one fresh tree of 10,000
# directories (100,000 with --large) with a file in each:
#   ready   time until the watcher is ready (ours: a sentinel made after start-up is reported;
#           inotifywait: "Watches established."; fswatch and watchman: the sentinel is seen)
#   burst   100,000 new files across the tree: distinct created paths reported, and whether the
#           rest was flagged for a rescan
#   races   200 times mkdir -p a/b then a file inside at once (files reported), and a file made
#           right after its directory was renamed (reported at the new path?)
#   rss     resident memory once ready
#   outside ours only: CPU time our watcher spends on 100,000 files made outside its tree,
#           against the CPU time of the process making them
# Ratios are ours / peer (below 1 is better for time and memory).
set -euo pipefail
BUILD_DIR=$(cd "$1" && pwd)
shift
DIRS=${BENCH_WATCHER_DIRS:-10000}
FILES=${BENCH_WATCHER_FILES:-100000}
[[ ${1:-} == --large ]] && DIRS=100000

cmake --build "$BUILD_DIR" --target vtnative bench_watcher >/dev/null
BENCH=$BUILD_DIR/bin/bench_watcher
LIBRARY=$BUILD_DIR/lib/libvtnative.so
WORK=$(mktemp -d /tmp/vtnative-bench-watcher-XXXXXX)
TREE=$WORK/tree
PEER_PID=""
WATCHMAN=(watchman --sockname="$WORK/wm.sock" --statefile="$WORK/wm.state"
    --logfile="$WORK/wm.log" --pidfile="$WORK/wm.pid" --no-save-state)

cleanup() {
    [[ -n $PEER_PID ]] && kill "$PEER_PID" 2>/dev/null || true
    [[ -f $WORK/wm.pid ]] && "${WATCHMAN[@]}" shutdown-server >/dev/null 2>&1 || true
    rm -rf "$WORK"
}
trap cleanup EXIT

now_ms() { date +%s%3N; }
rss_kb() { awk '/^VmRSS/ { print $2 }' "/proc/$1/status"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.3f", a / b; else print "-" }'; }

fresh_tree() {
    rm -rf "$TREE"
    mkdir -p "$TREE"
    "$BENCH" tree "$TREE" "$DIRS"
    sync
}

# Waits until FILE has stopped growing for two seconds.
wait_quiet() {
    local size=-1 now quiet=0
    while ((quiet < 4)); do
        sleep 0.5
        now=$(stat -c %s "$1")
        if [[ $now == "$size" ]]; then quiet=$((quiet + 1)); else quiet=0; fi
        size=$now
    done
}

# Prints "burst races renamed" from a file of reported absolute paths.
count_lines() {
    local burst races renamed
    burst=$(grep '/burst[0-9]*$' "$1" | sort -u | wc -l)
    races=$(grep -E '/r[0-9]+/a/b/f$' "$1" | sort -u | wc -l)
    renamed=$(grep -cx "$TREE/m2/f" "$1" || true)
    echo "$burst $races $((renamed > 0))"
}

# Runs the stream-printing peer "$@" (one path per line), measuring as described above.
stream_peer() {
    local name=$1 ready_pattern=$2
    shift 2
    fresh_tree
    local out=$WORK/$name.out err=$WORK/$name.err start ready rss
    start=$(now_ms)
    "$@" >"$out" 2>"$err" &
    PEER_PID=$!
    if [[ -n $ready_pattern ]]; then
        until grep -q "$ready_pattern" "$err"; do sleep 0.005; done
    else
        local n=0
        until grep -q "$TREE/sentinel" "$out" 2>/dev/null; do
            touch "$TREE/sentinel"
            n=$((n + 1))
            sleep 0.02
        done
    fi
    ready=$(($(now_ms) - start))
    rss=$(rss_kb "$PEER_PID")
    "$BENCH" burst-files "$TREE" "$DIRS" "$FILES"
    wait_quiet "$out"
    kill -0 "$PEER_PID" 2>/dev/null ||
        echo "note: $name exited during the burst: $(head -1 "$err")" >&2
    local overflow=0
    grep -q 'Q_OVERFLOW\|Overflow' "$out" "$err" && overflow=1
    "$BENCH" race-files "$TREE"
    mkdir "$TREE/m1"
    wait_quiet "$out"
    "$BENCH" rename-file "$TREE"
    wait_quiet "$out"
    kill "$PEER_PID" 2>/dev/null || true
    wait "$PEER_PID" 2>/dev/null || true
    PEER_PID=""
    read -r burst races renamed < <(count_lines "$out")
    echo "$name $ready $rss $burst $overflow $races $renamed"
}

watchman_peer() {
    fresh_tree
    local start ready rss clock burst fresh races renamed
    start=$(now_ms)
    "${WATCHMAN[@]}" watch "$TREE" >/dev/null
    touch "$TREE/sentinel"
    until "${WATCHMAN[@]}" find "$TREE" sentinel | grep -q '"sentinel"'; do sleep 0.005; done
    ready=$(($(now_ms) - start))
    rss=$(rss_kb "$(cat "$WORK/wm.pid")")
    clock=$("${WATCHMAN[@]}" clock "$TREE" | python3 -c 'import json,sys; print(json.load(sys.stdin)["clock"])')
    "$BENCH" burst-files "$TREE" "$DIRS" "$FILES"
    read -r burst fresh < <("${WATCHMAN[@]}" since "$TREE" "$clock" | python3 -c '
import json, sys
reply = json.load(sys.stdin)
names = {f["name"] if isinstance(f, dict) else f for f in reply.get("files", [])}
print(len({f for f in names if "/burst" in f}), int(reply.get("is_fresh_instance", False)))')
    clock=$("${WATCHMAN[@]}" clock "$TREE" | python3 -c 'import json,sys; print(json.load(sys.stdin)["clock"])')
    "$BENCH" race-files "$TREE"
    mkdir "$TREE/m1"
    "${WATCHMAN[@]}" find "$TREE" m1 >/dev/null
    "$BENCH" rename-file "$TREE"
    read -r races renamed < <("${WATCHMAN[@]}" since "$TREE" "$clock" | python3 -c '
import json, re, sys
files = {f["name"] if isinstance(f, dict) else f for f in json.load(sys.stdin).get("files", [])}
print(len([f for f in files if re.fullmatch(r"r[0-9]+/a/b/f", f)]), int("m2/f" in files))')
    "${WATCHMAN[@]}" shutdown-server >/dev/null 2>&1 || true
    echo "watchman $ready $rss $burst $fresh $races $renamed"
}

# ours BACKEND: our watcher with the library's choice (fanotify) or on inotify alone.
ours() {
    fresh_tree
    local figures choice=automatic
    [[ $1 == inotify ]] && choice=inotify
    figures=$(VTNATIVE_FILE_EVENTS=$choice "$BENCH" ours "$LIBRARY" "$TREE" "$DIRS" "$FILES")
    value() { awk -v k="$1" '$1 == k { print $2 }' <<<"$figures"; }
    local flagged=0
    (($(value burst_rescanned_dirs) > 0)) && flagged=1
    echo "ours-$1 $(value ready_ms) $(value rss_kb) $(value burst_reported) $flagged" \
        "$(value race_files) $(value renamed_right) $(value burst_uncovered)" \
        "$(value outside_ours_cpu_ms) $(value outside_maker_cpu_ms)"
}

echo "watcher: tree of $DIRS directories with a file each, burst of $FILES files, $(nproc) cores"
results=$(
    # fanotify's file-system marks need CAP_SYS_ADMIN; without it the library would use inotify.
    if [[ $(id -u) == 0 ]]; then
        ours fanotify
    fi
    ours inotify
    stream_peer inotifywait "Watches established." inotifywait -r -m \
        -e create,modify,delete,moved_from,moved_to --format '%w%f' "$TREE"
    if command -v fswatch >/dev/null; then
        stream_peer fswatch "" fswatch -r -l 0.1 --event Created --event Updated \
            --event Removed --event Renamed --event MovedFrom --event MovedTo "$TREE"
    fi
    if command -v watchman >/dev/null; then
        watchman_peer
    fi
)
printf '%-14s %10s %10s %14s %9s %10s %8s\n' watcher ready_ms rss_kb burst_reported rescan \
    race_files renamed
while read -r name ready rss burst flagged races renamed _; do
    printf '%-14s %10s %10s %14s %9s %10s %8s\n' "$name" "$ready" "$rss" "$burst/$FILES" \
        "$flagged" "$races/200" "$renamed"
done <<<"$results"
while read -r name _ _ _ _ _ _ uncovered outside maker; do
    [[ $name == ours-* ]] || continue
    echo "$name: burst files neither reported nor under a directory flagged for rescan: $uncovered"
    echo "$name: CPU on $FILES files made outside the tree: ${outside} ms," \
        "$(ratio "$outside" "$maker") of the ${maker} ms their maker spent"
done <<<"$results"
while read -r ours_name our_ready our_rss _; do
    [[ $ours_name == ours-* ]] || continue
    while read -r name ready rss _; do
        [[ $name == ours-* ]] && continue
        echo "$ours_name / $name: ready $(ratio "$our_ready" "$ready"), rss $(ratio "$our_rss" "$rss")"
    done <<<"$results"
done <<<"$results"
[[ $(id -u) == 0 ]] || echo "note: not root, so no fanotify row (it needs CAP_SYS_ADMIN)"
[[ -x $(command -v fswatch) && -x $(command -v watchman) ]] ||
    echo "note: fswatch and watchman are Debian packages (fswatch, watchman); missing ones are skipped"
