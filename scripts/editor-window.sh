#!/usr/bin/env bash
# editor-window.sh WORKDIR TRV4 PLUGIN [native|win32|win64] [SCALE]
# The editor in a real window: `trv4 edit` (the host) opens PLUGIN's editor
# in a window of its own; xdotool drags the Level knob up by 30 pixels,
# turns the wheel one notch over the Mix knob and presses the Mono switch;
# the automation must arrive in trv4 edit's output, and the screen over the
# editor must equal `trv4 snapshot` of the same settings, pixel for pixel.
# Ctrl-C ends trv4 edit cleanly, and on Linux so does another client
# destroying its window.
# SCALE (default 1): the editor's size (trv4 edit --scale). The test moves
# the pointer over the same logical places, SCALE times as far, and expects
# the same automation as at 1.
# win32/win64: TRV4 and PLUGIN are the Windows builds, run under wine in a
# prefix of its own (WORKDIR/wineprefix) whose server is bound to this
# display; there the snapshot's headless window draws its texts through GDI
# as the real window does, so the read-outs take part in the comparison too.
# Runs under scripts/platform-xvfb.sh, which supplies the display.
set -u
. "$(dirname "$0")/edit-host.sh"
work=$1; trv4=$2; plugin=$3; mode=${4:-native}; scale=${5:-1}
run=$work/run
rm -rf "$run"; mkdir -p "$run"

# A logical (100 %) window coordinate on the screen at SCALE: the first
# physical pixel of that logical pixel, ceil(v x SCALE), as the editor maps them.
phys() { awk -v v="$1" -v s="$scale" 'BEGIN { p = v * s; c = int(p); if (c < p) c++; print c }'; }

# What the test does to the editor: window coordinates of the Level knob's
# centre, of the Mix knob's and of the Mono switch (logical), and the values
# it starts from.
knob_x=346; knob_y=103; drag=30
mix_x=566; mix_y=103
switch_x=232; switch_y=117
start=(--program 0 --set Level=0.5 --set Mix=0.5 --set Mono=1 --no-audio --scale "$scale")
expect_level=0.8   # 0.5 is position 50 of 100; 30 pixels up make it 80
expect_mix=0.51    # one notch away from the user: one position of 100 up
expect_mono=0      # the lit switch goes dark
width=$(phys 755); height=$(phys 370)

host=("$trv4")
target=$plugin
out=$run
if [ "$mode" != native ]; then
  edit_host_use_wine "$mode" "$work/wineprefix" "$trv4" "$plugin"
  out=$(wine_path -w "$run")
  out=${out%\\}
fi
sep=/; [ "$mode" != native ] && sep='\'

edit_host_start "$run/edit.log" "${host[@]}" edit "$target" "${start[@]}" || exit 1
sleep 0.5   # a few idles: the editor shows the parameters

# The drag: press, move up in steps (one logical pixel per position), release.
xdotool mousemove $((x + $(phys $knob_x))) $((y + $(phys $knob_y))) mousedown 1; sleep 0.1
for step in $(seq 5 5 $drag); do
  xdotool mousemove $((x + $(phys $knob_x))) $((y + $(phys $((knob_y - step))))); sleep 0.05
done
xdotool mouseup 1; sleep 0.2
xdotool mousemove $((x + $(phys $mix_x))) $((y + $(phys $mix_y))) click 4; sleep 0.2
xdotool mousemove $((x + $(phys $switch_x))) $((y + $(phys $switch_y))) click 1; sleep 0.2
# Nothing under the pointer when the screen is taken.
xdotool mousemove 0 0

value() {  # the last value automated for parameter $1
  tr -d '\r' <"$run/edit.log" | sed -n "s/^automate $1 \"[^\"]*\" \(.*\)/\1/p" | tail -1
}
# Up to 20 s for the automation to be printed (wine's output can lag).
for _ in $(seq 200); do
  [ "$(value 1)" = "$expect_level" ] && [ "$(value 2)" = "$expect_mix" ] && [ "$(value 15)" = "$expect_mono" ] && break
  sleep 0.1
done
sleep 0.3
import -window root -crop "${width}x${height}+$x+$y" +repage "$run/screen.png"

# Ctrl-C: the host closes the editor, then its window, and ends with 0.
kill -INT "$pid"
edit_host_wait

failed=0
check() {  # check CONDITION-STATUS MESSAGE
  if [ "$1" -ne 0 ]; then echo "FAILED: $2"; failed=1; fi
}
[ "$(value 1)" = "$expect_level" ]; check $? "Level: waited 20 s for automation $expect_level, trv4 edit printed '$(value 1)'"
[ "$(value 2)" = "$expect_mix" ]; check $? "Mix: waited 20 s for automation $expect_mix, trv4 edit printed '$(value 2)'"
[ "$(value 15)" = "$expect_mono" ]; check $? "Mono: waited 20 s for automation $expect_mono, trv4 edit printed '$(value 15)'"
[ $status -eq 0 ] && tr -d '\r' <"$run/edit.log" | grep -q '^editor closed (interrupted)$'
check $? "trv4 edit did not end cleanly on Ctrl-C (status $status)"

"${host[@]}" snapshot "$target" "$out${sep}snapshot.png" --program 0 --set Level="$(value 1)" \
  --set Mix="$(value 2)" --set Mono="$(value 15)" --scale "$scale" </dev/null >"$run/snapshot.log" 2>&1
check $? "trv4 snapshot failed: $(cat "$run/snapshot.log")"

screen=$run/screen.png; snapshot=$run/snapshot.png
if [ -s "$run/snapshot.png" ]; then
  differing=$(compare -metric AE "$screen" "$snapshot" "$run/difference.png" 2>&1)
  [ "$differing" = "0" ]; check $? "the screen and trv4 snapshot differ in $differing pixels (see $run)"
fi

if [ "$mode" = native ]; then
  # Another client destroys the host window (and the editor inside it):
  # trv4 edit closes the editor regardless and ends with 0.
  "${host[@]}" edit "$target" --no-audio </dev/null >"$run/edit2.log" 2>&1 &
  pid=$!
  for _ in $(seq 100); do grep -q '^editor open' "$run/edit2.log" && break; sleep 0.1; done
  xdotool search --name 'trv4 edit' windowclose
  edit_host_wait
  [ $status -eq 0 ] && grep -q '^editor closed (window closed)$' "$run/edit2.log"
  check $? "trv4 edit did not end cleanly when its window was destroyed (status $status): $(cat "$run/edit2.log")"
fi

if [ $failed -ne 0 ]; then echo "--- trv4 edit:"; cat "$run/edit.log"; fi
[ $failed -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $failed
