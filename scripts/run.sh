#!/usr/bin/env bash
# Builds what the editor needs to run (the program, its data files, its languages and the sample
# levels; no tests or benchmarks) and starts it on the bundled TR4 sample level, Lara selected.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh run
build=${VELLUM_BUILD_DIR:-build}
# A fresh build folder leaves the tests and benchmarks out; one already set up keeps its choice.
if [ -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" >/dev/null
else
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLUM_BUILD_TESTS=OFF \
    -DVELLUM_BUILD_BENCH=OFF
fi
cmake --build "$build" -j "$(nproc)" --target vellum vellum_solid languages samples
exec "$build/app/vellum" "$build/samples/sample_tr4.tr4" "$@"
