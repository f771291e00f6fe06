#!/usr/bin/env bash
# ardour-vst3.sh WORKDIR TRV4 MODULE BUNDLE MATCH
# Debian's Ardour 7 as an independent VST3 host, headless:
#  - its scanner accepts the bundle BUNDLE (TRV-4.vst3) and records the
#    plug-in's name, vendor and stereo buses;
#  - for "Leslie" and for "Wide Chorus", a session made with its Lua tool
#    (ardour-session.lua: one stereo track, TRV-4 as its insert, the program
#    picked from Ardour's preset menu, the values Ardour then shows checked
#    against ours) is exported by ardour7-export as float WAV, and the export
#    must match trv4's own render of the same input and program (MATCH, run
#    on the VST 2 MODULE, whose output the VST3 bundle equals) within 40 dB
#    while the other program and the dry input stay below 20 dB.
# Exits 77 (skipped) when Ardour is not installed.
set -u
work=$1; trv4=$2; module=$3; bundle=$4; match=$5
here=$(cd "$(dirname "$0")" && pwd)
lib=/usr/lib/ardour7
scanner=$lib/ardour-vst3-scanner
if ! command -v ardour7-lua >/dev/null || ! command -v ardour7-export >/dev/null || [ ! -x "$scanner" ]; then
  echo "Ardour 7 (package ardour) is not installed: skipped"
  exit 77
fi
fail() { echo "FAILED: $*"; exit 1; }

rm -rf "$work"
mkdir -p "$work/vst3" "$work/config" "$work/cache"
# A private configuration, cache and VST3 folder: Ardour finds TRV-4 there
# and nowhere else.
export XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache VST3_PATH=$work/vst3
rate=48000

# The scan. Ardour's session tools never scan; they read the scanner's cache,
# and keep an entry only when the plug-in's files are older (in whole
# seconds) than the cache file: the copy is dated a minute back.
cp -r "$bundle" "$work/vst3/TRV-4.vst3" || fail "no bundle $bundle"
find "$work/vst3" -exec touch -d "@$(($(date +%s) - 60))" {} +
LD_LIBRARY_PATH=$lib timeout 60 "$scanner" -f -v "$work/vst3/TRV-4.vst3" >"$work/scan.log" 2>&1 ||
  fail "ardour-vst3-scanner refused the bundle: $(tail -5 "$work/scan.log")"
cache=$(find "$work/cache" -name '*.v3i' | head -1)
[ -n "$cache" ] || fail "the scanner wrote no cache: $(tail -5 "$work/scan.log")"
record=$(grep '<VST3Info ' "$cache")
for field in 'name="TRV-4"' 'vendor="Tolvmark Audio"' 'n_inputs="2"' 'n_outputs="2"' 'category="Fx'; do
  [[ $record == *"$field"* ]] || fail "the scanner's record lacks $field: $record"
done

# The input: trv4's demo (plucked notes over a pad) at the session's rate.
out=$("$trv4" render "$module" "$work/input.wav" --sr $rate --set Mix=0) || fail "trv4 render: $out"
frames=$(sed -nE 's/^wrote .*: ([0-9]+) frames .*/\1/p' <<<"$out")
[ -n "$frames" ] || fail "trv4 render said: $out"

status=0
for program in "Leslie" "Wide Chorus"; do
  other=$([ "$program" = Leslie ] && echo "Wide Chorus" || echo Leslie)
  slug=${program// /-}
  # The program's values as our host reads them.
  "$trv4" preset export "$module" "$work/$slug.fxp" --program "$program" >/dev/null || fail "trv4 preset export"
  values=$("$trv4" preset import "$module" "$work/$slug.fxp" | grep -m1 'Delay=' | grep -o '=[^ ]*' | tr -d = |
           head -20 | paste -sd,)
  timeout 120 ardour7-lua "$here/ardour-session.lua" "$work/$slug" "$slug" "$work/input.wav" "$frames" $rate \
    "$program" "$values" >"$work/$slug-session.log" 2>&1
  grep -q '^session ready' "$work/$slug-session.log" ||
    fail "$program: no session: $(grep -m3 -E 'FAILED|Error|ERROR' "$work/$slug-session.log")"
  # The export loads the session again from its file, plug-in state and all.
  # Under load, ardour7-export 7.3 now and then crashes as it resets its own
  # export graph (a double free), with no TRV-4 code on any thread and as
  # often without TRV-4 loaded at all: one more try then, said so.
  for try in 1 2; do
    timeout 120 ardour7-export -b float -s $rate -o "$work/$slug.wav" "$work/$slug" "$slug" \
      >"$work/$slug-export.log" 2>&1
    code=$?
    [ $code -gt 128 ] && [ $try = 1 ] || break
    echo "$program: ardour7-export died of signal $((code - 128)); once more"
  done
  [ $code -eq 0 ] || fail "$program: ardour7-export failed ($code): $(tail -3 "$work/$slug-export.log")"
  [ -s "$work/$slug.wav" ] || fail "$program: ardour7-export wrote nothing: $(tail -3 "$work/$slug-export.log")"
  echo "== $program"
  "$match" "$module" "$work/input.wav" "$work/$slug.wav" "$program" "$other" --skip 0.2 --search 1.9 5.9 \
    --bound 40 --reject 20 || status=1
done
! cmp -s "$work/Leslie.wav" "$work/Wide-Chorus.wav" || fail "the two programs exported the same audio"
[ $status -eq 0 ] || fail "an export does not match"
echo "Ardour 7 took the bundle, and exported both programs as trv4 renders them"
