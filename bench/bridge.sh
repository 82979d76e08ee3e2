#!/usr/bin/env bash
# ./dev bench bridge: nanoseconds per call of int add(int, int) from Java through libnativio
# (building the argument block included), JNA's direct mapping, a hand-written JNI function and,
# with the newest JDK installed, the Foreign Function API; with our ratio to each peer.
set -euo pipefail
BUILD_DIR=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
JDK17=${JAVA_HOME:-/usr/lib/jvm/java-17-openjdk-amd64}
JNA_JAR=/usr/share/java/jna.jar
JNA_NATIVE=/usr/lib/x86_64-linux-gnu/jni

cmake --build "$BUILD_DIR" --target nativio nativio_jar bridgebench bridge_bench_jar >/dev/null
LIBRARY=$BUILD_DIR/lib/libbridgebench.so
CLASSPATH_=$BUILD_DIR/java/nativio.jar:$BUILD_DIR/bench/bridge-bench.jar:$JNA_JAR
[[ -f $JNA_JAR ]] || echo "note: $JNA_JAR missing (Debian package libjna-java); JNA is skipped"

# shellcheck source=jdks.sh
source "$HERE/jdks.sh"

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# Prints the peers' figures for one JDK and our ratios to them.
measure() {
    local jdk=$1 extra=$2 results ours
    echo "JDK $("$jdk/bin/java" -XshowSettings:properties -version 2>&1 |
        sed -n 's/^ *java.runtime.version = //p') ($jdk)"
    results=$("$jdk/bin/java" $extra -Djna.boot.library.path="$JNA_NATIVE" \
        -Dnativio.library="$BUILD_DIR/lib/libnativio.so" -cp "$CLASSPATH_" \
        com.nativio.bench.BridgeBench "$LIBRARY")
    if [[ -n ${FFM_CLASSES:-} && $jdk == "${NEWEST:-}" ]]; then
        results+=$'\n'$("$jdk/bin/java" --enable-native-access=ALL-UNNAMED -cp "$FFM_CLASSES" \
            FfmBench "$LIBRARY")
    fi
    awk '{ printf "  %-20s %8s ns/call\n", $1, $2 }' <<<"$results"
    ours=$(awk '$1 == "nativio" { print $2 }' <<<"$results")
    for peer in jna-direct jni jni-byte-array ffm; do
        local theirs
        theirs=$(awk -v p="$peer" '$1 == p { print $2 }' <<<"$results")
        [[ -n $theirs ]] && echo "  nativio / $peer = $(ratio "$ours" "$theirs")"
    done
    return 0
}

echo "bridge: int add(int, int), 10000000 calls after warm-up, best of 3 rounds per peer"
echo "CPU: $(sed -n 's/^model name[^:]*: //p' /proc/cpuinfo | head -1), $(nproc) cores"
measure "$JDK17" ""

NEWEST=$(newest_jdk)
if [[ -n $NEWEST ]]; then
    FFM_CLASSES=$(mktemp -d)
    trap 'rm -rf "$FFM_CLASSES"' EXIT
    "$NEWEST/bin/javac" -d "$FFM_CLASSES" "$HERE/bridge/FfmBench.java"
    measure "$NEWEST" "--enable-native-access=ALL-UNNAMED"
fi
echo "targets: nativio / jna-direct < 1, nativio / jni <= 5"
echo "(jni-byte-array: a hand-written JNI function that only copies a byte[] block in and out)"
