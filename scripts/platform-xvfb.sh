#!/usr/bin/env bash
# platform-xvfb.sh COMMAND ARGS...
# Runs a window test on an Xvfb of its own (a free display number picked by
# Xvfb itself), which it stops afterwards. A screen of its own: windows of
# tests running beside it on a shared display would show in its screenshots.
# TRV4_XVFB_SCREEN sets the screen (default 1024x768x24; a 200 per cent
# editor needs a larger one).
set -u
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
Xvfb -displayfd 3 -screen 0 "${TRV4_XVFB_SCREEN:-1024x768x24}" -nolisten tcp -noreset 3>"$dir/display" </dev/null >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do
  [ -s "$dir/display" ] && break
  sleep 0.05
done
if [ ! -s "$dir/display" ]; then
  echo "Xvfb did not start" >&2
  kill "$xvfb" 2>/dev/null
  exit 1
fi
export DISPLAY=":$(head -n1 "$dir/display")"
# Wait until the server takes connections; -noreset keeps it from resetting
# (and refusing connections) each time its last client goes.
for _ in $(seq 100); do
  xdpyinfo >/dev/null 2>&1 && break
  sleep 0.05
done
"$@"
status=$?
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
exit $status
