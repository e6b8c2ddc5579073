#!/usr/bin/env bash
# Regenerates docs/main_window.png: the editor on the TR4 sample level with Lara selected,
# drawn under a virtual X server by the editor itself.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${VELLUM_BUILD_DIR:-build}
cmake --build "$build" --target vellum vellum_solid vellum_data samples
cd "$build/app"
xvfb-run -a -s "-screen 0 1280x1024x24" ./vellum ../samples/sample_tr4.tr4 --moveable 0 \
  --screenshot "$OLDPWD/docs/main_window.png"
