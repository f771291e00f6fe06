# Sourced by the window checks: runs `trv4 edit` as the host of a window
# check and finds where its editor lies on the screen.
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
#
# edit_host_start LOG COMMAND...: starts COMMAND in the background with its
#   output in LOG, sets pid, and waits (30 s at most) for its "editor open"
#   line; sets x and y to the editor's origin on the screen. Answers 1, after
#   printing LOG, when the editor did not open.
# edit_host_wait: waits (30 s at most) for pid to end, kills it after that
#   (saying so), and sets status to its exit status.
edit_host_start() {
  local log=$1; shift
  "$@" </dev/null >"$log" 2>&1 &
  pid=$!
  local origin=
  for _ in $(seq 300); do
    origin=$(tr -d '\r' <"$log" | sed -n 's/^editor open: .* at \([0-9-]*\),\([0-9-]*\) on the screen.*/\1 \2/p')
    [ -n "$origin" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$origin" ]; then
    echo "trv4 edit did not open the editor:"; cat "$log"; kill "$pid" 2>/dev/null
    return 1
  fi
  read -r x y <<<"$origin"
}

edit_host_wait() {
  for _ in $(seq 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then
    echo "trv4 edit was still running 30 s after it was asked to end: killed"
    kill -9 "$pid"
  fi
  wait "$pid"; status=$?
}

# edit_host_use_wine MODE PREFIX TRV4 PLUGIN: the Windows builds (MODE win32
# or win64) under wine in PREFIX with a server of its own, stopped on every
# way out (only this prefix's); sets host (the command that runs trv4.exe)
# and target (the plug-in's Windows path).
edit_host_use_wine() {
  local arch=win32; [ "$1" = win64 ] && arch=win64
  wine_use "$arch" "$2"
  wine_server_start
  trap wine_server_stop EXIT
  wine_boot
  host=("$WINELOADER" "$3")
  target=$(wine_path -w "$4")
}
