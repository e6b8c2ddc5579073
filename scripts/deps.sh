#!/usr/bin/env bash
# Installs the Debian packages Vellum needs, when any is missing.
#   deps.sh run   what building and running the editor needs
#   deps.sh test  that, plus what the tests, the benchmarks, the fuzzers and CI need (the default)
set -euo pipefail
what=${1:-test}
run_packages=(cmake ninja-build g++ pkg-config qt6-base-dev libqt6opengl6-dev libgl-dev libglu1-mesa-dev
              zlib1g-dev libdeflate-dev libassimp-dev libtinygltf-dev libpng-dev fonts-nanum)
test_packages=(libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth clang libclang-rt-14-dev
               python3-ezdxf assimp-utils librsvg2-bin dpkg-dev file desktop-file-utils appstream lintian
               xdg-utils libglib2.0-bin shared-mime-info blender python3-numpy)
case "$what" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: $0 [run|test]" >&2; exit 2 ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -qq
  $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
