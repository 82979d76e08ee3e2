#!/usr/bin/env bash
# Start-up cost of VaultorService, measured against the peer it stands in for: the JDK's own
# `java` launcher. Both start the same hello-world program, alternately, RUNS times each (after
# one unmeasured warm-up run each); the medians and their ratio are printed.
#
#   bench/launcher.sh BUILD_DIR        (RUNS=10 by default)
set -euo pipefail
BUILD_DIR=$(cd "$1" && pwd)
JAVA_HOME=${JAVA_HOME:-/usr/lib/jvm/java-17-openjdk-amd64}
RUNS=${RUNS:-10}
LAUNCHER=$BUILD_DIR/bin/VaultorService
[[ -x $LAUNCHER ]] || { echo "no $LAUNCHER; build first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home/.local/opt/vaultor/lib" "$work/classes"
ln -s "$JAVA_HOME" "$work/home/.local/opt/vaultor/lib/runtime"
cat >"$work/Hello.java" <<'JAVA'
public class Hello {
    public static void main(String[] args) {
        System.out.println("hello, world");
    }
}
JAVA
"$JAVA_HOME/bin/javac" -d "$work/classes" "$work/Hello.java"

# Root finds the shipped runtime under /opt only; a user namespace makes this process user 1000
# (with root's file access) so the temporary home serves. The peer runs under the same wrapper.
wrap=()
if [[ $(id -u) == 0 ]]; then
    wrap=(unshare --user --map-user=1000 --map-group=1000)
fi

# Prints the wall time of one start in microseconds; fails when the program does not say hello.
one_run() {
    local start end out
    start=$(date +%s%N)
    out=$(HOME=$work/home "${wrap[@]}" "$@" -cp "$work/classes" Hello)
    end=$(date +%s%N)
    [[ $out == "hello, world" ]] || { echo "unexpected output from $1: $out" >&2; return 1; }
    echo $(((end - start) / 1000))
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

one_run "$LAUNCHER" >/dev/null
one_run "$JAVA_HOME/bin/java" >/dev/null
launcher_times=()
java_times=()
for ((i = 0; i < RUNS; i++)); do
    launcher_times+=("$(one_run "$LAUNCHER")")
    java_times+=("$(one_run "$JAVA_HOME/bin/java")")
done

launcher_median=$(printf '%s\n' "${launcher_times[@]}" | median)
java_median=$(printf '%s\n' "${java_times[@]}" | median)
awk -v l="$launcher_median" -v j="$java_median" -v n="$RUNS" -v peer="$JAVA_HOME/bin/java" 'BEGIN {
    printf "hello-world start, median of %d runs each\n", n
    printf "  VaultorService (JLI_Launch in-process)  %8.1f ms\n", l / 1000
    printf "  java (peer: %s)  %8.1f ms\n", peer, j / 1000
    printf "  ratio VaultorService / java: %.2f\n", l / j
}'
