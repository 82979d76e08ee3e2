#!/usr/bin/env bash
# ./dev bench upcall: nanoseconds per call of a Java int cb(int, int) made by C on a native
# thread, through libnativio's callback thunk, JNA's Callback, a hand-written JNI upcall
# (CallStaticIntMethod) and, on the newest JDK installed, the Foreign Function API's upcall stub;
# on a thread attached for the whole run and on one the JVM does not know (each call attaching
# and detaching it). Then the call-path figures of ./dev bench bridge.
set -euo pipefail
BUILD_DIR=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
JDK17=${JAVA_HOME:-/usr/lib/jvm/java-17-openjdk-amd64}
JNA_JAR=/usr/share/java/jna.jar
JNA_NATIVE=/usr/lib/x86_64-linux-gnu/jni

cmake --build "$BUILD_DIR" --target nativio nativio_jar upcallbench upcall_bench_jar >/dev/null
LIBRARY=$BUILD_DIR/lib/libupcallbench.so
[[ -f $JNA_JAR ]] || echo "note: $JNA_JAR missing (Debian package libjna-java); JNA is skipped"

# shellcheck source=jdks.sh
source "$HERE/jdks.sh"

runtime_version() {
    "$1/bin/java" -XshowSettings:properties -version 2>&1 | sed -n 's/^ *java.runtime.version = //p'
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
figure() { awk -v p="$1" '$1 == p { print $2 }' <<<"$2"; }

classes=$(mktemp -d)
trap 'rm -rf "$classes"' EXIT
if [[ -f $JNA_JAR ]]; then
    "$JDK17/bin/javac" -d "$classes/jna" -cp "$JNA_JAR" "$HERE/upcall/jna/com/nativio/bench/JnaUpcall.java"
fi

echo "upcall: C calls Java int cb(int, int) on a native thread; best of 3 rounds per peer"
echo "CPU: $(sed -n 's/^model name[^:]*: //p' /proc/cpuinfo | head -1), $(nproc) cores"
echo "JDK $(runtime_version "$JDK17") ($JDK17)"
results=$("$JDK17/bin/java" -Djna.boot.library.path="$JNA_NATIVE" \
    -Dnativio.library="$BUILD_DIR/lib/libnativio.so" \
    -cp "$BUILD_DIR/java/nativio.jar:$BUILD_DIR/bench/upcall-bench.jar:$classes/jna:$JNA_JAR" \
    com.nativio.bench.UpcallBench "$LIBRARY")
NEWEST=$(newest_jdk)
if [[ -n $NEWEST ]]; then
    "$NEWEST/bin/javac" -d "$classes/ffm" "$HERE/upcall/FfmUpcallBench.java"
    echo "JDK $(runtime_version "$NEWEST") ($NEWEST) for ffm-attached"
    results+=$'\n'$("$NEWEST/bin/java" --enable-native-access=ALL-UNNAMED -cp "$classes/ffm" \
        FfmUpcallBench "$LIBRARY")
fi
awk '{ printf "  %-20s %10s ns/upcall\n", $1, $2 }' <<<"$results"
ours=$(figure nativio-attached "$results")
for peer in jna-attached jni-attached ffm-attached; do
    theirs=$(figure "$peer" "$results")
    [[ -n $theirs ]] && echo "  nativio-attached / $peer = $(ratio "$ours" "$theirs")"
done
ours=$(figure nativio-detached "$results")
theirs=$(figure jna-detached "$results")
[[ -n $theirs ]] && echo "  nativio-detached / jna-detached = $(ratio "$ours" "$theirs")"
echo "targets: nativio / jna <= 0.5, nativio-attached / jni-attached <= 3"
echo
"$HERE/bridge.sh" "$BUILD_DIR"
