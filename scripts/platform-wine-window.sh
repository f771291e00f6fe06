#!/usr/bin/env bash
# platform-wine-window.sh PROGRAM.exe WORKDIR [POINTER_BYTES]
# The real-window check of a Windows build (POINTER_BYTES 4: 32-bit, the
# default; 8: 64-bit): runs PROGRAM under wine
# in a prefix of its own (WORKDIR/wineprefix, with a wine server bound to
# this display), clicks its controls with xdotool, takes a screenshot of the
# X server and compares it and the clicks with what PROGRAM reports. Runs
# under scripts/platform-xvfb.sh, which supplies the display.
set -u
program=$1; work=$2
. "$(dirname "$0")/wine-env.sh"
arch=win32; [ "${3:-4}" = 8 ] && arch=win64
wine_use "$arch" "$work/wineprefix"
run=$work/run
rm -rf "$run"; mkdir -p "$run"

# Our own wine server, stopped on every way out (only this prefix's).
wine_server_start
trap wine_server_stop EXIT
wine_boot

wine_exec "$program" "$(wine_path -w "$run")" </dev/null >"$run/program.log" 2>&1 &
pid=$!
for _ in $(seq 300); do
  [ -s "$run/ready" ] && break
  sleep 0.1
done
if [ ! -s "$run/ready" ]; then
  echo "the program did not open its window"; cat "$run/program.log"; exit 1
fi
read -r x y < <(tr -d '\r' <"$run/ready")

click() { xdotool mousemove "$1" "$2" click 1; sleep 0.3; }
click $((x + 50)) $((y + 80))    # the left click area
click $((x + 160)) $((y + 60))   # the picture
click $((x + 120)) $((y + 30))   # the form itself: no control
# Two notches away from the user and one back over the wheel probe.
xdotool mousemove $((x + 115)) $((y + 90)) click 4 click 4 click 5; sleep 0.3
xdotool mousemove 0 0; sleep 0.5
import -window root -crop "240x120+$x+$y" +repage "$run/screen.png"
touch "$run/done"
wait "$pid"; status=$?
if [ $status -ne 0 ]; then echo "the program failed ($status)"; cat "$run/program.log"; exit 1; fi

failed=0
expected=$'Left\nRight'
clicks=$(tr -d '\r' <"$run/clicks")
if [ "$clicks" != "$expected" ]; then
  echo "clicks: expected Left, Right; got: $clicks"; failed=1
fi
turns=$(tr -d '\r' <"$run/wheel" | tr '\n' ' ')
if [ "$turns" != "120 120 -120 " ]; then
  echo "wheel: expected 120 120 -120; got: $turns"; failed=1
fi
differing=$(compare -metric AE "$run/screen.png" "$run/headless.png" null: 2>&1)
if [ "$differing" != "0" ]; then
  echo "screen and headless rendering differ in $differing pixels (see $run)"; failed=1
fi
[ $failed -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $failed
