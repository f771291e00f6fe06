#!/usr/bin/env bash
# manual.sh TRV4 PLUGIN OUT.html: the user's manual as one self-contained
# file. docs/manual.html carries the placeholders @EDITOR_SNAPSHOT@ (the
# whole editor at 100 %) and @EDITOR_SNAPSHOT_200@ (its upper left part at
# 200 %) where the pictures go; this draws the editor with `trv4 snapshot`
# (factory program 0 with the meter lit, on the headless backend, so no
# display is needed) and puts each PNG in as a data: URI.
set -euo pipefail
if [ $# -ne 3 ]; then
  echo "usage: manual.sh TRV4 PLUGIN OUT.html" >&2
  exit 2
fi
trv4=$1 plugin=$2 out=$3
source=$(dirname "$0")/../docs/manual.html
for placeholder in @EDITOR_SNAPSHOT@ @EDITOR_SNAPSHOT_200@; do
  grep -q "$placeholder" "$source" || { echo "manual.sh: no $placeholder in $source" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$trv4" snapshot "$plugin" "$work/editor.png" --program 0 --meter 0.5 >/dev/null
"$trv4" snapshot "$plugin" "$work/editor200.png" --program 0 --meter 0.5 --scale 2 >/dev/null
for png in editor editor200; do
  [ -s "$work/$png.png" ] || { echo "manual.sh: trv4 snapshot wrote no picture" >&2; exit 1; }
done
# At 200 % the logo and the Delay row: the same pixels a screen shows.
convert "$work/editor200.png" -crop 760x470+0+0 +repage "$work/editor200.png"
{ printf 'data:image/png;base64,'; base64 -w0 "$work/editor.png"; } >"$work/uri"
{ printf 'data:image/png;base64,'; base64 -w0 "$work/editor200.png"; } >"$work/uri200"

# The URIs are far too long for a sed expression: split the page at the
# placeholders instead.
awk -v urifile="$work/uri" -v uri200file="$work/uri200" '
  BEGIN { getline uri < urifile; getline uri200 < uri200file }
  function put(tag, value,    n) {
    n = index($0, tag)
    if (n) $0 = substr($0, 1, n - 1) value substr($0, n + length(tag))
  }
  { put("@EDITOR_SNAPSHOT_200@", uri200); put("@EDITOR_SNAPSHOT@", uri); print }' "$source" >"$work/manual.html"
mkdir -p "$(dirname "$out")"
mv "$work/manual.html" "$out"
