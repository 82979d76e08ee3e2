# Sourced by the benchmarks that compare with an earlier build: takes `--before DIR` (a build
# folder of an earlier commit, e.g. a `git worktree` of it built with ./dev build) out of the
# arguments. Sets BEFORE (empty without the option) and ARGS (the other arguments).
BEFORE=""
ARGS=()
while (($# > 0)); do
    if [[ $1 == --before ]]; then
        BEFORE=$(cd "${2:?--before needs a build folder}" && pwd)
        shift 2
    else
        ARGS+=("$1")
        shift
    fi
done
