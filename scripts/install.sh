#!/usr/bin/env bash
# install.sh [--prefix DIR] [--vst3 DIR] [--clap DIR] [--config DIR] [--from DIR]
# Installs TRV-4 for Linux hosts: the VST 2 plug-in TRV-4.so and the user's
# manual TRV-4-manual.html into ~/.vst (or --prefix DIR), the VST3 bundle
# TRV-4.vst3 into ~/.vst3 (or --vst3 DIR) and the CLAP plug-in TRV-4.clap
# into ~/.clap (or --clap DIR), each where the source folder has it, and the
# manual's location into the setting the editor's manual icon reads:
#   <config>/Tolvmark Audio/TRV-4.ini, line Manual=<full path>
# where <config> is --config DIR, else $XDG_CONFIG_HOME, else ~/.config
# (/etc/xdg makes it machine-wide). The files are taken from the folder this
# script lies in (the release archive), or from --from DIR.
set -euo pipefail

usage() {
  echo "usage: install.sh [--prefix DIR] [--vst3 DIR] [--clap DIR] [--config DIR] [--from DIR]" >&2
  exit 2
}

here=$(cd "$(dirname "$0")" && pwd)
from=$here
prefix=${HOME:-}/.vst
vst3=${HOME:-}/.vst3
clap=${HOME:-}/.clap
config=${XDG_CONFIG_HOME:-${HOME:-}/.config}
while [ $# -gt 0 ]; do
  case $1 in
    --prefix) [ $# -ge 2 ] || usage; prefix=$2; shift 2 ;;
    --vst3) [ $# -ge 2 ] || usage; vst3=$2; shift 2 ;;
    --clap) [ $# -ge 2 ] || usage; clap=$2; shift 2 ;;
    --config) [ $# -ge 2 ] || usage; config=$2; shift 2 ;;
    --from) [ $# -ge 2 ] || usage; from=$2; shift 2 ;;
    -h|--help) usage ;;
    *) echo "install.sh: unknown argument '$1'" >&2; usage ;;
  esac
done

fail() { echo "install.sh: $*" >&2; exit 1; }
for dir in "$prefix" "$vst3" "$clap" "$config"; do
  [ -n "$dir" ] || fail "no home folder: give --prefix and --config"
  case $dir in *$'\n'*|*$'\r'*) fail "folder names with line breaks are not supported" ;; esac
done
[ -f "$from/TRV-4.so" ] || fail "no TRV-4.so in $from"

mkdir -p "$prefix"
prefix=$(cd "$prefix" && pwd)
install -m 0755 "$from/TRV-4.so" "$prefix/TRV-4.so"
echo "Installed $prefix/TRV-4.so"
# The other formats, where the source folder carries them. The bundle is
# replaced whole, so that no file of an older version stays inside it.
if [ -d "$from/TRV-4.vst3" ]; then
  mkdir -p "$vst3"
  rm -rf "$vst3/TRV-4.vst3"
  cp -R "$from/TRV-4.vst3" "$vst3/TRV-4.vst3"
  chmod -R u+rwX,go+rX "$vst3/TRV-4.vst3"
  echo "Installed $vst3/TRV-4.vst3"
fi
if [ -f "$from/TRV-4.clap" ]; then
  mkdir -p "$clap"
  install -m 0755 "$from/TRV-4.clap" "$clap/TRV-4.clap"
  echo "Installed $clap/TRV-4.clap"
fi

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
