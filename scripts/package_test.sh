#!/usr/bin/env bash
# Builds the Debian package from an existing build tree, checks it with lintian (errors fail), then,
# as root only, installs it with dpkg, runs the installed programs and removes it again, checking
# that nothing is left behind. Changes the machine: meant for CI and for a throw-away system.
#
#   scripts/package_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:?usage: scripts/package_test.sh BUILD_DIR}" && pwd)
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT

(cd "$build" && rm -f vellum_*.deb && cpack -G DEB > "$tmp/cpack.log" 2>&1) || { cat "$tmp/cpack.log"; exit 1; }
deb=$(ls "$build"/vellum_*.deb)
echo "built $(basename "$deb"): $(dpkg-deb -f "$deb" Depends)"
lintian_status=0
lintian --fail-on error --tag-display-limit 0 "$deb" > "$tmp/lintian.log" 2>&1 || lintian_status=$?
grep -v "running with root privileges" "$tmp/lintian.log" || true
[ $lintian_status = 0 ] || { echo "FAIL: lintian reports errors"; exit 1; }

if [ "$(id -u)" -ne 0 ]; then
    echo "skipped: installing the package with dpkg needs root"
    exit 0
fi
if dpkg-query -W -f='${Status}' vellum 2>/dev/null | grep -q "install ok installed"; then
    echo "skipped: a vellum package is already installed on this machine; not touching it"
    exit 0
fi
fail=0
say() { echo "FAIL: $*"; fail=1; }

dpkg -i "$deb" > "$tmp/dpkg-i.log" 2>&1 || { cat "$tmp/dpkg-i.log"; dpkg -r vellum > /dev/null 2>&1; exit 1; }
dpkg -L vellum > "$tmp/files"
(cd / && env -u DISPLAY vellum-cli help > "$tmp/help.txt") || say "installed vellum-cli help failed"
grep -q "^exit status:" "$tmp/help.txt" || say "vellum-cli help printed no exit statuses"
man -w vellum-cli > /dev/null 2>&1 || say "man vellum-cli finds no page"
grep -q "io.vellum.Vellum.desktop" /usr/share/applications/mimeinfo.cache 2>/dev/null \
    || say "the desktop database does not know the editor's file types"
[ -e /usr/share/mime/application/x-tomb-raider-tr4-level.xml ] || say "the MIME database lacks the TR4 level type"

dpkg -r vellum > "$tmp/dpkg-r.log" 2>&1 || { cat "$tmp/dpkg-r.log"; say "dpkg -r failed"; }
status=$(dpkg-query -W -f='${Status}' vellum 2>/dev/null || true)
case "$status" in "" | "unknown ok not-installed" | "deinstall ok not-installed") ;; *) say "package state after removal: $status" ;; esac
while read -r path; do
    [ -d "$path" ] && continue
    [ -e "$path" ] && say "left behind: $path"
done < "$tmp/files"
for dir in /usr/share/vellum /usr/share/doc/vellum; do
    [ -e "$dir" ] && say "left behind: $dir"
done
grep -q "io.vellum.Vellum.desktop" /usr/share/applications/mimeinfo.cache 2>/dev/null && say "file types still name the editor"
[ -e /usr/share/mime/application/x-tomb-raider-tr4-level.xml ] && say "the MIME database still has the TR4 level type"
[ $fail = 0 ] && echo "package installs, runs and removes cleanly"
exit $fail
