#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in BUILD_DIR, writes builder-made seed levels and runs every
# fuzzer that fuzz/CMakeLists.txt defines for a bounded time. Fails on any crash, leak, timeout or
# sanitizer report.
#
#   scripts/fuzz.sh BUILD_DIR [READER_SECONDS] [OTHER_SECONDS]
#
# READER_SECONDS (default 60) is the run time of reader_fuzz; OTHER_SECONDS (default 60) of every
# other fuzzer. FUZZ_TOTAL_SECONDS (default 1500) caps the sum: with many targets each gets its share.
# FUZZ_JOBS sets the build parallelism (default 2). Seeds: fuzz/seeds/NAME/ when it exists, otherwise
# the builder-made levels.
set -euo pipefail

if [[ $# -lt 1 ]]; then
    sed -n '2,11p' "$0" >&2
    exit 2
fi
build=$1
reader_seconds=${2:-60}
other_seconds=${3:-60}
total_seconds=${FUZZ_TOTAL_SECONDS:-1500}
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# The whole tree when Qt is there (fuzzers of the Qt-based layers), the level layer alone otherwise.
configure() {
    CC=clang CXX=clang++ cmake -S "$source_dir" -B "$build" -G Ninja \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLUM_LEVEL_ONLY="$1" -DVELLUM_FUZZ=ON \
        -DVELLUM_BUILD_TESTS=ON -DVELLUM_BUILD_BENCH=OFF >"$build.configure.log" 2>&1
}
mkdir -p "$build"
configure OFF || configure ON || { cat "$build.configure.log" >&2; exit 1; }

mapfile -t fuzzers < <(grep -v '^$' "$build/fuzz/fuzz_targets.txt")
if [[ ${#fuzzers[@]} -eq 0 ]]; then
    echo "no fuzz targets defined" >&2
    exit 1
fi
ninja -C "$build" -j"${FUZZ_JOBS:-2}" make_fuzz_seeds "${fuzzers[@]}"

seeds=$build/fuzz-seeds
rm -rf "$seeds"
"$build/fuzz/make_fuzz_seeds" "$seeds/levels"
mkdir -p "$build/fuzz-artifacts"

share=$((total_seconds / ${#fuzzers[@]}))
status=0
for name in "${fuzzers[@]}"; do
    seconds=$other_seconds
    [[ $name == reader_fuzz ]] && seconds=$reader_seconds
    ((seconds > share)) && seconds=$share
    corpus=$build/fuzz-corpus/$name
    mkdir -p "$corpus"
    seed_dirs=("$seeds/levels")
    [[ -d $source_dir/fuzz/seeds/$name ]] && seed_dirs=("$source_dir/fuzz/seeds/$name")
    echo "== $name for ${seconds}s"
    if ! "$build/fuzz/$name" -max_total_time="$seconds" -max_len=32768 -rss_limit_mb=1024 -timeout=30 \
        -print_final_stats=1 -artifact_prefix="$build/fuzz-artifacts/$name-" "$corpus" "${seed_dirs[@]}" \
        >"$build/fuzz-artifacts/$name.log" 2>&1; then
        echo "!! $name failed; log: $build/fuzz-artifacts/$name.log" >&2
        grep -E "ERROR|SUMMARY|invariant|runtime error" "$build/fuzz-artifacts/$name.log" | head -20 >&2 || true
        status=1
    else
        grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$build/fuzz-artifacts/$name.log" || true
    fi
done
exit $status
