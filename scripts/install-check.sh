#!/usr/bin/env bash
# install-check.sh WORKDIR TRV4 PLUGIN
# The Linux installation end to end: the manual built with its editor
# picture (self-contained: every src and href inside the file), install.sh
# into a private prefix and configuration folder, the setting it writes (a
# second run keeps other lines and replaces the manual's), a prefix whose
# path is too long for the editor, and `trv4 info` on the installed module.
set -u
work=$1; trv4=$2; plugin=$3
root=$(cd "$(dirname "$0")/.." && pwd)
rm -rf "$work"; mkdir -p "$work/stage"

failed=0
check() {  # check STATUS MESSAGE
  if [ "$1" -ne 0 ]; then echo "FAILED: $2"; failed=1; fi
}

# The manual.
bash "$root/scripts/manual.sh" "$trv4" "$plugin" "$work/stage/TRV-4-manual.html"
check $? "manual.sh failed"
cp "$plugin" "$work/stage/TRV-4.so"
manual=$work/stage/TRV-4-manual.html
! grep -q '@EDITOR_SNAPSHOT' "$manual"; check $? "a placeholder is still in the manual"
refs=$(grep -oE '(src|href)="[^"]*"' "$manual" | grep -vE '^(src|href)="(data:|#)' | sort -u)
[ -z "$refs" ]; check $? "the manual refers to outside files: $refs"
! grep -qiE 'url\(|@import' "$manual"; check $? "the manual's style loads something"
signature=$(grep -oE 'data:image/png;base64,[A-Za-z0-9+/=]{12}' "$manual" | head -1 | sed 's/.*,//' |
            base64 -d 2>/dev/null | head -c 8 | od -An -tx1 | tr -d ' \n')
[ "$signature" = 89504e470d0a1a0a ]; check $? "the editor picture is not a PNG data URI"

# Installation into a prefix with a blank in its name.
prefix="$work/home/my plugins"
config=$work/config
bash "$root/scripts/install.sh" --from "$work/stage" --prefix "$prefix" --config "$config" >"$work/install.log" 2>&1
check $? "install.sh failed: $(cat "$work/install.log")"
cmp -s "$prefix/TRV-4.so" "$plugin"; check $? "TRV-4.so not installed"
cmp -s "$prefix/TRV-4-manual.html" "$manual"; check $? "the manual not installed"
ini="$config/Tolvmark Audio/TRV-4.ini"
[ "$(cat "$ini" 2>/dev/null)" = "$(printf '[TRV-4]\nManual=%s' "$prefix/TRV-4-manual.html")" ]
check $? "setting: $(cat "$ini" 2>/dev/null)"

# Again, over a file with a line of its own and a stale manual line.
printf '[TRV-4]\n; kept\nManual = /old/place.html\n' >"$ini"
bash "$root/scripts/install.sh" --from "$work/stage" --prefix "$prefix" --config "$config" >/dev/null 2>&1
[ "$(cat "$ini")" = "$(printf '[TRV-4]\n; kept\nManual=%s' "$prefix/TRV-4-manual.html")" ]
check $? "second install: $(cat "$ini")"

# A prefix that makes the manual's path 256 characters long: the plug-in
# is installed, the setting is not written.
deep=$work/
while [ $((${#deep} + 18)) -lt 256 ]; do deep=${deep}d; done  # + "/TRV-4-manual.html"
bash "$root/scripts/install.sh" --from "$work/stage" --prefix "$deep" --config "$work/config-deep" >/dev/null 2>"$work/deep.log"
check $? "install.sh failed for a deep prefix"
[ -f "$deep/TRV-4.so" ] && [ ! -e "$work/config-deep/Tolvmark Audio/TRV-4.ini" ]
check $? "a manual path of 256 characters was recorded"
grep -q "256 characters" "$work/deep.log"; check $? "no warning about the long path: $(cat "$work/deep.log")"

# Wrong usage changes nothing.
bash "$root/scripts/install.sh" --bogus >/dev/null 2>&1
[ $? -eq 2 ]; check $? "install.sh --bogus did not end with 2"

# The installed module loads in a host.
"$trv4" info "$prefix/TRV-4.so" >"$work/info.log" 2>&1
check $? "trv4 info on the installed module failed: $(head -3 "$work/info.log")"
grep -q '"Tolvmark Audio"' "$work/info.log"; check $? "trv4 info shows no vendor"

[ $failed -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $failed
