#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in BUILD_DIR, writes builder-made seed levels and runs every
# fuzzer for a bounded time. Fails on any crash, leak, timeout or sanitizer report.
#
#   scripts/fuzz.sh BUILD_DIR [READER_SECONDS] [OTHER_SECONDS]
#
# READER_SECONDS (default 60) is the run time of reader_fuzz; OTHER_SECONDS (default 60) of every
# other fuzzer. FUZZ_JOBS sets the build parallelism (default 2).
set -euo pipefail

if [[ $# -lt 1 ]]; then
    sed -n '2,9p' "$0" >&2
    exit 2
fi
build=$1
reader_seconds=${2:-60}
other_seconds=${3:-60}
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

CC=clang CXX=clang++ cmake -S "$source_dir" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLUM_LEVEL_ONLY=ON -DVELLUM_FUZZ=ON \
    -DVELLUM_BUILD_TESTS=ON -DVELLUM_BUILD_BENCH=OFF >/dev/null

fuzzers=()
for source in "$source_dir"/fuzz/*.cpp; do
    fuzzers+=("$(basename "$source" .cpp)")
done
ninja -C "$build" -j"${FUZZ_JOBS:-2}" make_fuzz_seeds "${fuzzers[@]}"

seeds=$build/fuzz-seeds
rm -rf "$seeds"
"$build/fuzz/make_fuzz_seeds" "$seeds"
mkdir -p "$build/fuzz-artifacts"

status=0
for name in "${fuzzers[@]}"; do
    seconds=$other_seconds
    [[ $name == reader_fuzz ]] && seconds=$reader_seconds
    corpus=$build/fuzz-corpus/$name
    mkdir -p "$corpus"
    echo "== $name for ${seconds}s"
    if ! "$build/fuzz/$name" -max_total_time="$seconds" -max_len=32768 -rss_limit_mb=2048 -timeout=30 \
        -print_final_stats=1 -artifact_prefix="$build/fuzz-artifacts/$name-" "$corpus" "$seeds" \
        >"$build/fuzz-artifacts/$name.log" 2>&1; then
        echo "!! $name failed; log: $build/fuzz-artifacts/$name.log" >&2
        grep -E "ERROR|SUMMARY|invariant|runtime error" "$build/fuzz-artifacts/$name.log" | head -20 >&2 || true
        status=1
    else
        grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$build/fuzz-artifacts/$name.log" || true
    fi
done
exit $status
