#!/usr/bin/env bash
# editor-actions-window.sh WORKDIR TRV4 PLUGIN [native|win32|win64] [SCALE]
# The editor's manual and about icons in a real window: `trv4 edit` opens
# PLUGIN's editor (at SCALE, default 1: trv4 edit --scale), xdotool clicks
# the icons at their logical places SCALE times as far.
#   native: the manual setting is an INI file under a private
#     XDG_CONFIG_HOME, xdg-open is replaced on PATH by a script that records
#     its arguments; the click must record exactly the path. The about box
#     must stand while the host goes on (a knob dragged meanwhile reaches
#     the host and repaints its read-out), and its OK must close it.
#   win32/win64: TRV4 and PLUGIN are the Windows builds, run under wine in a
#     prefix of its own; the setting is a real registry value (reg.exe add)
#     and the document's type is associated with a batch file that records
#     what the shell hands it. A value of another type must bring the error
#     box, and the editor must carry on (its about box still opens).
# Runs under scripts/platform-xvfb.sh, which supplies the display.
set -u
. "$(dirname "$0")/edit-host.sh"
work=$1; trv4=$2; plugin=$3; mode=${4:-native}; scale=${5:-1}
run=$work/run
rm -rf "$run"; mkdir -p "$run"

# A logical (100 %) window coordinate at SCALE: ceil(v x SCALE), the first
# physical pixel of that logical pixel.
phys() { awk -v v="$1" -v s="$scale" 'BEGIN { p = v * s; c = int(p); if (c < p) c++; print c }'; }

# Window coordinates of the icons' centres and the Level knob's, and the
# Level read-out's box, at SCALE.
manual_x=$(phys 662); manual_y=$(phys 30)
about_x=$(phys 712); about_y=$(phys 30)
knob_x=$(phys 346); knob_y=$(phys 103)
readout_box="$(phys 60)x$(phys 20)"; readout_x=$(phys 320); readout_y=$(phys 138)

failed=0
check() {  # check STATUS MESSAGE
  if [ "$1" -ne 0 ]; then echo "FAILED: $2"; failed=1; fi
}
# Waits up to 5 s (20 s under wine, whose first start of a program is
# slow) for a command to succeed.
patience=50; [ "$mode" != native ] && patience=200
wait_for() {
  for _ in $(seq $patience); do "$@" && return 0; sleep 0.1; done
  return 1
}
# The id of the visible top-level window with this exact title, if any.
window_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1; }
shown() { [ -n "$(window_named "$1")" ]; }
gone() { [ -z "$(window_named "$1")" ]; }
# Presses the OK button of a message box (ours sits centred 28 pixels above
# the box's bottom edge, wine's 20) until the box is gone: a box that wine
# is still placing may miss the first press.
press_ok() {
  local X Y WIDTH HEIGHT above=28 name=$2
  [ "$mode" != native ] && above=20
  for _ in 1 2 3; do
    sleep 0.5
    gone "$name" && return 0
    eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)"
    [ -n "${WIDTH:-}" ] && click $((X + WIDTH / 2)) $((Y + HEIGHT - above))
    wait_for gone "$name" && return 0
  done
  return 1
}

host=("$trv4")
target=$plugin
if [ "$mode" = native ]; then
  # A manual whose path a shell would split and expand.
  manual="$run/docs/TRV-4 manual (\$HOME) 'q'.html"
  mkdir -p "$run/docs" "$run/config/Tolvmark Audio" "$run/bin"
  echo "<html></html>" >"$manual"
  printf '[TRV-4]\nManual=%s\n' "$manual" >"$run/config/Tolvmark Audio/TRV-4.ini"
  cat >"$run/bin/xdg-open" <<SCRIPT
#!/bin/sh
{ echo "\$#"; for a in "\$@"; do printf '%s\n' "\$a"; done; } >"$run/opened.tmp"
mv "$run/opened.tmp" "$run/opened"
SCRIPT
  chmod +x "$run/bin/xdg-open"
  export XDG_CONFIG_HOME=$run/config XDG_CONFIG_DIRS=$run/none PATH=$run/bin:$PATH
  expected=$(printf '1\n%s' "$manual")
else
  edit_host_use_wine "$mode" "$work/wineprefix" "$trv4" "$plugin"
  # The document and the program the shell opens it with: a batch file
  # that writes its first argument into opened.txt
  drive_c=$WINEPREFIX/drive_c
  mkdir -p "$drive_c/TRV-4 docs"
  rm -f "$drive_c/TRV-4 docs/opened.txt"
  echo "<html></html>" >"$drive_c/TRV-4 docs/user manual.trv4doc"
  # (written aside, then renamed: the check never reads half a file).
  printf '@echo off\r\necho %%~1> "C:\\TRV-4 docs\\opened.tmp"\r\nmove /y "C:\\TRV-4 docs\\opened.tmp" "C:\\TRV-4 docs\\opened.txt" >nul\r\n' \
    >"$drive_c/TRV-4 docs/record.bat"
  manual='C:\TRV-4 docs\user manual.trv4doc'
  wine_exec reg.exe add 'HKCR\.trv4doc' /ve /d trv4doc /f >/dev/null 2>&1
  wine_exec reg.exe add 'HKCR\trv4doc\shell\open\command' /ve /d '"C:\TRV-4 docs\record.bat" "%1"' /f >/dev/null 2>&1
  wine_exec reg.exe add 'HKLM\Software\Tolvmark Audio\TRV-4' /v Manual /t REG_SZ /d "$manual" /f >/dev/null 2>&1
  check $? "reg.exe add failed"
  expected=$manual
fi

edit_host_start "$run/edit.log" "${host[@]}" edit "$target" --program 0 --no-audio --scale "$scale" || exit 1
sleep 0.5; [ "$mode" != native ] && sleep 1.5  # a few idles: the editor is drawn
click() { xdotool mousemove "$1" "$2"; sleep 0.2; xdotool click 1; sleep 0.3; }

# The manual icon.
click $((x + manual_x)) $((y + manual_y))
if [ "$mode" = native ]; then
  wait_for test -f "$run/opened"
  opened=$(cat "$run/opened" 2>/dev/null)
else
  # A click that wine delivered before the window took input is lost:
  # one more (the shell would only open the same file again).
  wait_for test -f "$drive_c/TRV-4 docs/opened.txt" ||
    { click $((x + manual_x)) $((y + manual_y)); wait_for test -f "$drive_c/TRV-4 docs/opened.txt"; }
  opened=$(tr -d '\r' <"$drive_c/TRV-4 docs/opened.txt" 2>/dev/null | sed 's/ *$//')
  # The shell may hand the program the long or the short (8.3) form of the
  # path: compare the files they name.
  if [ -n "$opened" ] && [ "$opened" != "$expected" ]; then
    long=$(wine_path -u "$opened" 2>/dev/null); want=$(wine_path -u "$expected" 2>/dev/null)
    [ -n "$long" ] && [ "$long" -ef "$want" ] && opened=$expected
  fi
fi
[ "$opened" = "$expected" ]; check $? "manual icon: expected '$expected', the opener got '$opened'"
if [ "$mode" != native ] && [ -z "$opened" ]; then
  wine_exec reg.exe query 'HKLM\Software\Tolvmark Audio\TRV-4' </dev/null 2>&1 | tr -d '\r'
  wine_exec reg.exe query 'HKCR\trv4doc\shell\open\command' </dev/null 2>&1 | tr -d '\r'
  ls -la "$drive_c/TRV-4 docs"
  import -window root "$run/manual-failed.png"
fi

# The about box.
click $((x + about_x)) $((y + about_y))
box=
wait_for shown Information && box=$(window_named Information)
[ -n "$box" ]; check $? "the about box did not open"
if [ -n "$box" ]; then
  if [ "$mode" = native ]; then
    # The host goes on while the box stands: a drag on Level reaches it and
    # the editor repaints the read-out.
    import -window root -crop "$readout_box+$((x + readout_x))+$((y + readout_y))" +repage "$run/readout-before.png"
    xdotool mousemove $((x + knob_x)) $((y + knob_y)) mousedown 1; sleep 0.1
    for step in 5 10 15 20; do xdotool mousemove $((x + knob_x)) $((y + knob_y - $(phys $step))); sleep 0.05; done
    xdotool mouseup 1; sleep 0.3
    wait_for grep -q '^automate 1 ' "$run/edit.log"; check $? "no automation from a drag while the about box stands"
    import -window root -crop "$readout_box+$((x + readout_x))+$((y + readout_y))" +repage "$run/readout-after.png"
    differing=$(compare -metric AE "$run/readout-before.png" "$run/readout-after.png" /dev/null 2>&1)
    [ "${differing:-0}" != 0 ]; check $? "the Level read-out was not repainted while the about box stood"
    shown Information; check $? "the about box closed by itself"
  fi
  press_ok "$box" Information; check $? "OK did not close the about box"
fi

if [ "$mode" != native ]; then
  # A value of another type: the error is reported and the editor carries on.
  wine_exec reg.exe add 'HKLM\Software\Tolvmark Audio\TRV-4' /v Manual /t REG_DWORD /d 5 /f >/dev/null 2>&1
  click $((x + manual_x)) $((y + manual_y))
  error=
  wait_for shown Error && error=$(window_named Error)
  [ -n "$error" ]; check $? "a DWORD value brought no error box"
  if [ -n "$error" ]; then
    press_ok "$error" Error; check $? "the error box did not close"
  fi
  click $((x + about_x)) $((y + about_y))
  wait_for shown Information; check $? "the editor did not carry on after the error"
  again=$(window_named Information)
  [ -n "$again" ] && { press_ok "$again" Information; check $? "the second about box did not close"; }
fi

kill -INT "$pid"
edit_host_wait
[ $status -eq 0 ]; check $? "trv4 edit did not end cleanly (status $status)"

if [ $failed -ne 0 ]; then echo "--- trv4 edit:"; cat "$run/edit.log"; fi
[ $failed -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $failed
