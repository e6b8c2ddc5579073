#!/usr/bin/env bash
# vellum-cli on damaged and hostile levels made by the test builder: each is refused (or read) with the
# documented exit status and a message that says what is wrong, never a crash; write failures name the
# system's reason; a folder is called a folder.
set -u
cli=$1; maker=$2; tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
"$maker" "$tmp/levels" || { echo "FAIL: cannot make the damaged levels"; exit 1; }
lv=$tmp/levels
fail=0
expect() { # expected-status message-pattern description command...
    local want=$1 pattern=$2 what=$3; shift 3
    "$@" > "$tmp/out" 2> "$tmp/err"; local got=$?
    if [ "$got" != "$want" ]; then echo "FAIL: $what: exit $got, expected $want"; cat "$tmp/err"; fail=1; return; fi
    if [ -n "$pattern" ] && ! grep -q -- "$pattern" "$tmp/err"; then
        echo "FAIL: $what: no message matching '$pattern'"; cat "$tmp/err"; fail=1
    fi
}
for cmd in info check; do
    expect 3 "32-bit pages block does not match the page counts" "$cmd: page block inflating to 2 GiB" "$cli" $cmd "$lv/page_bomb.tr4"
    expect 0 "" "$cmd: plain sizes claiming 4 GiB" "$cli" $cmd "$lv/lying_plain_sizes.tr4"
    expect 3 "level data block holds .* bytes after the end of its compressed data" "$cmd: samples inside the level data's packed size" \
        "$cli" $cmd "$lv/swallowed_samples.tr4"
    expect 3 "32-bit pages block does not match the page counts" "$cmd: page block short of its counts" "$cli" $cmd "$lv/short_pages.trc"
    expect 3 "mesh data is truncated" "$cmd: TR2 mesh data cut short" "$cli" $cmd "$lv/cut_mesh.tr2"
    expect 3 "mesh data is truncated" "$cmd: TR4 mesh data cut short" "$cli" $cmd "$lv/cut_mesh.tr4"
    expect 1 "is a folder" "$cmd: a folder" "$cli" $cmd "$lv"
done
expect 3 "mesh data is truncated" "resave: mesh data cut short" "$cli" resave "$lv/cut_mesh.tr4" "$tmp/out.tr4"
[ -e "$tmp/out.tr4" ] && { echo "FAIL: a refused resave wrote its output"; fail=1; }

# A write that the system refuses ("File too large" under a file-size limit) is reported with its reason.
( trap '' XFSZ; ulimit -f 1; exec "$cli" resave "$lv/good.tr4" "$tmp/big.tr4" ) > "$tmp/out" 2> "$tmp/err"
got=$?
if [ "$got" != 5 ] || ! grep -q "File too large" "$tmp/err"; then
    echo "FAIL: resave past the file-size limit: exit $got"; cat "$tmp/err"; fail=1
fi
# A build of the level layer alone has no bitmap commands.
has_pages=false
"$cli" help | grep -q "export-pages" && has_pages=true
if $has_pages; then
    ( trap '' XFSZ; ulimit -f 1; exec "$cli" export-pages "$lv/good.tr4" "$tmp/pages.bmp" ) > "$tmp/out" 2> "$tmp/err"
    got=$?
    if [ "$got" != 5 ] || ! grep -q "File too large" "$tmp/err"; then
        echo "FAIL: export-pages past the file-size limit: exit $got"; cat "$tmp/err"; fail=1
    fi
fi
# A level without pages has no bitmap to export: refused as an input, nothing written.
if $has_pages; then
    expect 65 "has no pages" "export-pages: a TR4 level without pages" "$cli" export-pages "$lv/no_pages.tr4" "$tmp/none.bmp"
    [ -e "$tmp/none.bmp" ] && { echo "FAIL: export-pages wrote a bitmap of no pages"; fail=1; }
fi

# Names up to the longest a folder takes can be written, whatever the temporary file's name.
for length in 242 255; do
    long=$(printf 'a%.0s' $(seq $((length - 4))))
    expect 0 "" "resave to a $length-byte name" "$cli" resave "$lv/good.tr4" "$tmp/$long.tr4"
    if $has_pages; then
        expect 0 "" "export-pages to a $length-byte name" "$cli" export-pages "$lv/good.tr4" "$tmp/$long.bmp"
    fi
    expect 0 "" "export-dxf to a $length-byte name" "$cli" export-dxf "$lv/good.tr4" 0 "$tmp/$long.dxf"
    rm -f "$tmp/$long".*
done

# A file name that is not UTF-8 still gives JSON a strict parser takes, the name's bytes kept.
odd=$(printf 'lev\xff\xfeel.tr4')
cp "$lv/good.tr4" "$tmp/$odd"
expect 0 "" "info --json of a name that is not UTF-8" "$cli" info "$tmp/$odd" --json
python3 -c '
import json, os, sys
d = json.loads(open(sys.argv[1], "rb").read().decode("utf-8"))
assert d["file"].endswith("lev\ufffd\ufffdel.tr4"), d["file"]
assert bytes(d["file_bytes"]) == os.fsencode(sys.argv[2]), d["file_bytes"]
' "$tmp/out" "$tmp/$odd" || { echo "FAIL: info --json of a name that is not UTF-8"; fail=1; }

"$cli" help > "$tmp/help" 2>&1
for status in 0 1 2 3 4 5 64 65; do
    grep -q "^  $status " "$tmp/help" || { echo "FAIL: help does not list exit status $status"; fail=1; }
done
exit $fail
