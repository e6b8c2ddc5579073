#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs the installed programs as a user would: the
# data must be found under share/vellum, written settings must land in the user's config folder,
# and the desktop files must pass their validators.
#   install_test.sh BUILD_DIR SAMPLE_LEVEL
set -u
# Window and desktop checks need a display.
[ -n "${DISPLAY:-}" ] || exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
build=$1; sample=$(realpath "$2")
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix; fail=0
say() { echo "FAIL: $*"; fail=1; }

cmake --install "$build" --prefix "$prefix" > "$tmp/install.log" 2>&1 || { cat "$tmp/install.log"; exit 1; }
for f in bin/vellum bin/vellum-cli share/vellum/config.opt share/vellum/solid.bmp share/vellum/trcatalog.xml \
         share/vellum/Readme.txt share/man/man1/vellum-cli.1.gz share/man/man1/vellum.1.gz \
         share/applications/io.vellum.Vellum.desktop share/metainfo/io.vellum.Vellum.metainfo.xml \
         share/mime/packages/io.vellum.Vellum.xml share/icons/hicolor/scalable/apps/io.vellum.Vellum.svg \
         share/icons/hicolor/16x16/apps/io.vellum.Vellum.png share/icons/hicolor/256x256/apps/io.vellum.Vellum.png; do
    [ -e "$prefix/$f" ] || say "not installed: $f"
done
[ "$(ls "$prefix"/share/vellum/vellum_*.lng 2>/dev/null | wc -l)" = 9 ] || say "not nine language files"
# The Readme in every language but the two English ones, which share Readme.txt.
[ "$(ls "$prefix"/share/vellum/Readme_*.txt 2>/dev/null | wc -l)" = 7 ] || say "not seven translated Readmes"

# The command-line companion, from the installed prefix on a level made by the build.
"$prefix/bin/vellum-cli" info "$sample" > "$tmp/info.txt" 2>&1 || say "installed vellum-cli info: $(cat "$tmp/info.txt")"
grep -q "TR 4" "$tmp/info.txt" || say "info does not name the game"

# The manual page lists every command `help` lists.
zcat "$prefix/share/man/man1/vellum-cli.1.gz" > "$tmp/vellum-cli.1"
for command in $("$prefix/bin/vellum-cli" help | sed -n 's/^  \([a-z-]*\) .*/\1/p'); do
    grep -q "fB${command//-/\\\\-}\\\\fR" "$tmp/vellum-cli.1" || say "man page lacks command $command"
done
for status in $("$prefix/bin/vellum-cli" help | sed -n '/^exit status:/,$s/^  \([0-9][0-9]*\) .*/\1/p'); do
    grep -qx ".B $status" "$tmp/vellum-cli.1" || say "man page lacks exit status $status"
done
groff -man -ww -z "$tmp/vellum-cli.1" 2>&1 | grep . && say "vellum-cli man page has troff warnings"

# The editor to its first frame, as a user with an empty config folder starts it from the menu:
# by name through PATH, in another folder.
export XDG_CONFIG_HOME=$tmp/config HOME=$tmp/home PATH=$prefix/bin:$PATH
mkdir -p "$HOME"
(cd "$HOME" && VELLUM_REPORT_FIRST_FRAME=1 timeout 120 vellum "$sample" --screenshot "$tmp/shot.png") \
    > "$tmp/vellum.log" 2>&1 || say "installed vellum: $(tail -5 "$tmp/vellum.log")"
grep -qx "data folder: $prefix/share/vellum" "$tmp/vellum.log" || say "data not found in the prefix: $(head -3 "$tmp/vellum.log")"
grep -qx "user files: $XDG_CONFIG_HOME/Vellum" "$tmp/vellum.log" || say "user files not in the config folder"
grep -q "first frame after" "$tmp/vellum.log" || say "no first frame"
[ -s "$tmp/shot.png" ] || say "no picture of the window"
cmp -s "$prefix/share/vellum/config.opt" "$XDG_CONFIG_HOME/Vellum/config.opt" || say "config.opt was not read from the prefix"

# Desktop files: validators clean, and the level types lead to the editor.
desktop-file-validate "$prefix/share/applications/io.vellum.Vellum.desktop" || say "desktop-file-validate"
appstreamcli validate --no-net --explain "$prefix/share/metainfo/io.vellum.Vellum.metainfo.xml" > "$tmp/as.log" 2>&1 \
    || { cat "$tmp/as.log"; say "appstreamcli validate"; }
# xdg-utils asks GLib's gio, which reads the shared MIME database as file managers do.
export XDG_DATA_HOME=$prefix/share XDG_DATA_DIRS=$prefix/share:/usr/share XDG_CURRENT_DESKTOP=GNOME
update-mime-database "$prefix/share/mime" || say "update-mime-database"
update-desktop-database "$prefix/share/applications" || say "update-desktop-database"
cp "$sample" "$tmp/level.tr4"
cp "$sample" "$tmp/level.bin" # the wrong extension: known by its first bytes
for file in "$tmp/level.tr4" "$tmp/level.bin"; do
    type=$(xdg-mime query filetype "$file")
    [ "$type" = application/x-tomb-raider-tr4-level ] || say "$(basename "$file") is of type '$type'"
done
app=$(xdg-mime query default application/x-tomb-raider-tr4-level)
[ "$app" = io.vellum.Vellum.desktop ] || say "a TR4 level opens with '$app'"
# xdg-open starts the installed editor on the level; it is found by its executable and ended.
xdg-open "$tmp/level.tr4" > "$tmp/open.log" 2>&1 || say "xdg-open: $(cat "$tmp/open.log")"
started=""
for _ in $(seq 60); do
    for p in /proc/[0-9]*; do
        [ "$(readlink "$p/exe" 2>/dev/null)" = "$prefix/bin/vellum" ] || continue
        tr '\0' ' ' < "$p/cmdline" | grep -q "$tmp/level.tr4" && started=${p#/proc/}
    done
    [ -n "$started" ] && break
    sleep 0.5
done
if [ -n "$started" ]; then kill "$started"; else say "xdg-open did not start vellum on the level"; fi

[ $fail = 0 ] && echo "installed programs, data and desktop files: all good"
exit $fail
