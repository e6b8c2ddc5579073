#!/usr/bin/env bash
# Redraws the README's pictures under a virtual X server, by the editor and vellum-cli themselves:
# docs/main_window.png (the editor on the TR4 sample level with Lara selected) and the guide's
# pictures in docs/guide/ (the four render modes, a static mesh's box).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${VELLUM_BUILD_DIR:-build}
cmake --build "$build" --target vellum vellum-cli vellum_solid vellum_data languages samples
docs=$PWD/docs
sample=$PWD/$build/samples/sample_tr4.tr4
mkdir -p "$docs/guide"
xvfb=(xvfb-run -a -s "-screen 0 1280x1024x24")
# A fresh settings folder: the pictures show the editor as a new user sees it.
settings=$(mktemp -d); trap 'rm -rf "$settings"' EXIT
export XDG_CONFIG_HOME=$settings

(cd "$build/app" && "${xvfb[@]}" ./vellum "$sample" --moveable 0 --screenshot "$docs/main_window.png")

cli=$PWD/$build/app/vellum-cli
for mode in wireframe solid textured points; do
    "${xvfb[@]}" "$cli" render "$sample" --static 0 --mode "$mode" --size 160x200 \
        --out "$docs/guide/mode_$mode.png" > /dev/null
done
"${xvfb[@]}" "$cli" render "$sample" --static 0 --mode wireframe --box visibility --size 160x200 \
    --out "$docs/guide/box_visibility.png" > /dev/null
echo "pictures written to docs/"
