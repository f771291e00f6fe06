#!/usr/bin/env bash
# manual.sh TRV4 PLUGIN OUT.html: the user's manual as one self-contained
# file. docs/manual.html carries the placeholder @EDITOR_SNAPSHOT@ where the
# picture of the editor goes; this draws the editor with `trv4 snapshot`
# (factory program 0 with the meter lit, on the headless backend, so no
# display is needed) and puts the PNG in as a data: URI.
set -euo pipefail
if [ $# -ne 3 ]; then
  echo "usage: manual.sh TRV4 PLUGIN OUT.html" >&2
  exit 2
fi
trv4=$1 plugin=$2 out=$3
source=$(dirname "$0")/../docs/manual.html
grep -q '@EDITOR_SNAPSHOT@' "$source" || { echo "manual.sh: no @EDITOR_SNAPSHOT@ in $source" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$trv4" snapshot "$plugin" "$work/editor.png" --program 0 --meter 0.5 >/dev/null
[ -s "$work/editor.png" ] || { echo "manual.sh: trv4 snapshot wrote no picture" >&2; exit 1; }
{ printf 'data:image/png;base64,'; base64 -w0 "$work/editor.png"; } >"$work/uri"

# The URI is far too long for a sed expression: split the page at the
# placeholder instead.
awk -v urifile="$work/uri" '
  BEGIN { getline uri < urifile }
  { n = index($0, "@EDITOR_SNAPSHOT@")
    if (n) $0 = substr($0, 1, n - 1) uri substr($0, n + length("@EDITOR_SNAPSHOT@"))
    print }' "$source" >"$work/manual.html"
mkdir -p "$(dirname "$out")"
mv "$work/manual.html" "$out"
