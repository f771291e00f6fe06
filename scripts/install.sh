#!/usr/bin/env bash
# install.sh [--prefix DIR] [--config DIR] [--from DIR]
# Installs TRV-4 for Linux hosts: the plug-in TRV-4.so and the user's manual
# TRV-4-manual.html into ~/.vst (or --prefix DIR), and the manual's location
# into the setting the editor's manual icon reads:
#   <config>/Tolvmark Audio/TRV-4.ini, line Manual=<full path>
# where <config> is --config DIR, else $XDG_CONFIG_HOME, else ~/.config
# (/etc/xdg makes it machine-wide). The files are taken from the folder this
# script lies in (the release archive), or from --from DIR.
set -euo pipefail

usage() {
  echo "usage: install.sh [--prefix DIR] [--config DIR] [--from DIR]" >&2
  exit 2
}

here=$(cd "$(dirname "$0")" && pwd)
from=$here
prefix=${HOME:-}/.vst
config=${XDG_CONFIG_HOME:-${HOME:-}/.config}
while [ $# -gt 0 ]; do
  case $1 in
    --prefix) [ $# -ge 2 ] || usage; prefix=$2; shift 2 ;;
    --config) [ $# -ge 2 ] || usage; config=$2; shift 2 ;;
    --from) [ $# -ge 2 ] || usage; from=$2; shift 2 ;;
    -h|--help) usage ;;
    *) echo "install.sh: unknown argument '$1'" >&2; usage ;;
  esac
done

fail() { echo "install.sh: $*" >&2; exit 1; }
for dir in "$prefix" "$config"; do
  [ -n "$dir" ] || fail "no home folder: give --prefix and --config"
  case $dir in *$'\n'*|*$'\r'*) fail "folder names with line breaks are not supported" ;; esac
done
[ -f "$from/TRV-4.so" ] || fail "no TRV-4.so in $from"

mkdir -p "$prefix"
prefix=$(cd "$prefix" && pwd)
install -m 0755 "$from/TRV-4.so" "$prefix/TRV-4.so"
echo "Installed $prefix/TRV-4.so"

if [ ! -f "$from/TRV-4-manual.html" ]; then
  echo "No TRV-4-manual.html in $from: the manual icon will do nothing." >&2
  exit 0
fi
install -m 0644 "$from/TRV-4-manual.html" "$prefix/TRV-4-manual.html"
manual=$prefix/TRV-4-manual.html
echo "Installed $manual"

# The editor refuses paths of 256 characters or more.
if [ ${#manual} -ge 256 ]; then
  echo "The manual's path has ${#manual} characters (at most 255 are used): the manual icon will do nothing." >&2
  exit 0
fi
mkdir -p "$config/Tolvmark Audio"
settings="$config/Tolvmark Audio/TRV-4.ini"
tmp=$(mktemp "$config/Tolvmark Audio/.TRV-4.ini.XXXXXX")
# Keep other lines of an existing file; the Manual line is ours.
if [ -f "$settings" ]; then
  grep -v -E '^[[:space:]]*Manual[[:space:]]*=' "$settings" >"$tmp" || true
else
  echo '[TRV-4]' >"$tmp"
fi
printf 'Manual=%s\n' "$manual" >>"$tmp"
chmod 0644 "$tmp"
mv "$tmp" "$settings"
echo "Recorded the manual's location in $settings"
