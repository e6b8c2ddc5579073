#!/usr/bin/env bash
# Builds Vellum and starts it on the bundled TR4 sample level (the README's run command).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
build=${VELLUM_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j "$(nproc)"
sample="$build/samples/sample_tr4.tr4"
if [ -x "$build/app/vellum" ]; then
  exec "$build/app/vellum" "$sample" "$@"
fi
# Until the editor window lands, the command-line companion lists the sample level.
exec "$build/app/vellum-cli" info "$sample" "$@"
