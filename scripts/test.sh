#!/usr/bin/env bash
# Builds everything and runs every test (the README's test command).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh test
build=${VELLUM_BUILD_DIR:-build}
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLUM_WERROR=$werror \
  -DVELLUM_BUILD_TESTS=ON -DVELLUM_BUILD_BENCH=ON
cmake --build "$build" -j "$(nproc)"
# Window and GL tests need a display: run the whole suite under a virtual X server.
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
