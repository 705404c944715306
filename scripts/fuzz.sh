#!/usr/bin/env bash
# Build the libFuzzer targets (clang, ASan, UBSan) and run each of them.
#   scripts/fuzz.sh [ci]        a short run of every target, then every regression input
#   scripts/fuzz.sh long [N]    N executions per target (default 1000000), one target after another
# Environment: FUZZ_BUILD_DIR (default build-fuzz), FUZZ_RUNS (runs per target in the short run),
# FUZZ_MAX_SECONDS (guard on each run's time).
# Findings (crash-*, timeout-*, oom-*) land in $FUZZ_BUILD_DIR/artifacts; the script then fails.
set -euo pipefail

cd "$(dirname "$0")/.."
mode=${1:-ci}
build_dir=${FUZZ_BUILD_DIR:-build-fuzz}
case "$mode" in
-h | --help)
    sed -n '2,7p' "$0" | cut -c3-
    exit 0
    ;;
ci)
    runs=${FUZZ_RUNS:-5000}
    max_seconds=${FUZZ_MAX_SECONDS:-60}
    ;;
long)
    runs=${2:-1000000}
    max_seconds=${FUZZ_MAX_SECONDS:-3600}
    ;;
*)
    echo "usage: $0 [ci | long [N] | --help]" >&2
    exit 2
    ;;
esac

TESSMARK_EXTRA_PACKAGES="clang-14 libclang-rt-14-dev" bash scripts/dev.sh deps

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DTESSMARK_FUZZ=ON \
    -DTESSMARK_TESTS=OFF -DTESSMARK_BENCH=OFF
cmake --build "$build_dir" --target fuzz_targets -j "$(nproc)"

bin="$build_dir/bin"
corpus="$build_dir/corpus"
artifacts="$build_dir/artifacts"
mkdir -p "$artifacts"

# Seeds from the shipped files, fresh each run. A data file's seed starts with the byte that
# chooses its type (0 .ktd, 1 .kgd, 2 .kmd, 3 .ksd) and the shipped tables (+4).
seed() {
    local target=$1
    mkdir -p "$corpus/$target" "$corpus/$target-seeds"
    rm -f "$corpus/$target-seeds"/*
    case "$target" in
    fuzz_datafile)
        local i=0
        for ext in ktd kgd kmd ksd; do
            for tables in 0 4; do
                { printf "\\x$(printf %02x $((i + tables)))"; cat "samples/sample.$ext"; } \
                    >"$corpus/$target-seeds/sample-$ext-$tables"
            done
            i=$((i + 1))
        done
        ;;
    fuzz_answer)
        # Sent as it stands in 6-byte pieces (0x05), and framed as a whole answer (0x85).
        for mode in 05 85; do
            { printf "\x$mode"; cat samples/sample.ktd; } >"$corpus/$target-seeds/sample-$mode"
        done
        ;;
    fuzz_inifile) cp data/Obstbl.tbl "$corpus/$target-seeds/" ;;
    fuzz_weighttable) cp data/Weighttbl.tbl "$corpus/$target-seeds/" ;;
    esac
    cp tests/fuzz/regressions/"$target"/* "$corpus/$target-seeds/" 2>/dev/null || true
}

export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen

status=0
for path in tests/fuzz/fuzz_*.cpp; do
    target=$(basename "$path" .cpp)
    seed "$target"
    echo "== $target: $runs runs"
    extra=()
    [ -f "tests/fuzz/$target.dict" ] && extra+=(-dict="tests/fuzz/$target.dict")
    # The settings store keeps the files it has read in a cache of its own: every input would look
    # like a leak and be run again under the leak checker, ten times slower.
    [ "$target" = fuzz_settings ] && extra+=(-detect_leaks=0)
    # Only the final lines matter in the log: the figures and any finding.
    if ! "$bin/$target" -runs="$runs" -max_total_time="$max_seconds" -rss_limit_mb=2048 \
        -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$artifacts/$target-" "${extra[@]}" \
        "$corpus/$target" "$corpus/$target-seeds" 2>"$build_dir/$target.log"; then
        status=1
        echo "!! $target found a fault; see $build_dir/$target.log and $artifacts" >&2
    fi
    grep -E '^#[0-9]+.*(DONE|pulse|INITED)|^stat::|SUMMARY|ERROR' "$build_dir/$target.log" | tail -8
    # Every input that once broke a target stays a case of its own.
    regressions=(tests/fuzz/regressions/"$target"/*)
    if [ -f "${regressions[0]}" ]; then
        if ! "$bin/$target" -rss_limit_mb=2048 -timeout=10 "${regressions[@]}" \
            >"$build_dir/$target-regressions.log" 2>&1; then
            status=1
            echo "!! $target fails on a regression input; see $build_dir/$target-regressions.log" >&2
        fi
    fi
done
exit "$status"
