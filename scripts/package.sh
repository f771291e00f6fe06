#!/usr/bin/env bash
# package.sh [--no-build] [--out DIR]: the release archives, into dist/ (or
# DIR):
#   TRV-4-VERSION-linux-x86_64.tar.gz  TRV-4.so, TRV-4-manual.html, install.sh,
#                                      README.txt (in a folder of the same name)
#   TRV-4-VERSION-windows.zip          32-bit/TRV-4.dll, 64-bit/TRV-4.dll,
#                                   TRV-4-manual.html, TRV-4-manual.reg,
#                                   README.txt
# It builds the linux, win32 and win64 trees under build/ first
# (scripts/build.sh) unless --no-build says they are built; TRV4_TREE_LINUX,
# TRV4_TREE_WIN32 and TRV4_TREE_WIN64 name other built trees. The manual's
# picture of the editor is drawn by the linux tree's trv4 (scripts/manual.sh).
# The version and the maker come from the linux tree's product.env.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

out=dist
build=1
while [ $# -gt 0 ]; do
  case $1 in
    --no-build) build=0; shift ;;
    --out) [ $# -ge 2 ] || { echo "usage: package.sh [--no-build] [--out DIR]" >&2; exit 2; }; out=$2; shift 2 ;;
    *) echo "usage: package.sh [--no-build] [--out DIR]" >&2; exit 2 ;;
  esac
done
command -v zip >/dev/null || { echo "package.sh: zip is missing (scripts/setup.sh installs it)" >&2; exit 1; }

if [ $build -eq 1 ]; then
  bash scripts/build.sh linux win32 win64
fi
linux_tree=${TRV4_TREE_LINUX:-build/linux}
so=$linux_tree/plugin-bin/TRV-4.so
dll32=${TRV4_TREE_WIN32:-build/win32}/plugin-bin/TRV-4.dll
dll64=${TRV4_TREE_WIN64:-build/win64}/plugin-bin/TRV-4.dll
trv4=$linux_tree/bin/trv4
for f in "$so" "$dll32" "$dll64" "$trv4" "$linux_tree/product.env"; do
  [ -f "$f" ] || { echo "package.sh: $f is missing (build the trees, or run without --no-build)" >&2; exit 1; }
done
. "$linux_tree/product.env"
version=$TRV4_VERSION

mkdir -p "$out"
out=$(cd "$out" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bash scripts/manual.sh "$trv4" "$so" "$work/TRV-4-manual.html"

# Linux: one folder, so that unpacking makes no mess.
linux=TRV-4-$version-linux-x86_64
mkdir "$work/$linux"
cp "$so" "$work/TRV-4-manual.html" "$work/$linux/"
# The archives carry the binaries without their symbol tables; the build
# trees keep the full ones for debugging.
strip --strip-all "$work/$linux/TRV-4.so"
cp scripts/install.sh "$work/$linux/install.sh"
chmod 0755 "$work/$linux/install.sh" "$work/$linux/TRV-4.so"
cat >"$work/$linux/README.txt" <<TEXT
TRV-4 $version, stereo modulation delay for Linux VST 2 hosts (64-bit)
$TRV4_VENDOR, $TRV4_ADDRESS

Install for yourself:        ./install.sh
Install somewhere else:      ./install.sh --prefix /usr/local/lib/vst
Machine-wide, as root:       ./install.sh --prefix /usr/local/lib/vst --config /etc/xdg

install.sh copies TRV-4.so and TRV-4-manual.html into ~/.vst (or the
--prefix folder) and records the manual's location in
~/.config/Tolvmark Audio/TRV-4.ini, so that the page icon on the panel opens
it. Hosts look for plug-ins in ~/.vst, /usr/lib/vst, /usr/local/lib/vst or
the folders in \$VST_PATH; let your host rescan after installing.

The manual, TRV-4-manual.html, explains every control.
TEXT
tar -C "$work" --owner=0 --group=0 --numeric-owner -czf "$out/$linux.tar.gz" "$linux"

# Windows: both builds side by side, the manual and its registry record.
win=$work/windows
mkdir -p "$win/32-bit" "$win/64-bit"
cp "$dll32" "$win/32-bit/TRV-4.dll"
cp "$dll64" "$win/64-bit/TRV-4.dll"
i686-w64-mingw32-strip --strip-all "$win/32-bit/TRV-4.dll"
x86_64-w64-mingw32-strip --strip-all "$win/64-bit/TRV-4.dll"
cp "$work/TRV-4-manual.html" "$win/"
# Both registry views: a 32-bit host on 64-bit Windows reads WOW6432Node.
# REGEDIT4 is the header of 8-bit .reg files (version 5 files are UTF-16).
printf '%s\r\n' \
  'REGEDIT4' \
  '' \
  '[HKEY_LOCAL_MACHINE\SOFTWARE\Tolvmark Audio\TRV-4]' \
  '"Manual"="C:\\Program Files\\Tolvmark Audio\\TRV-4\\TRV-4-manual.html"' \
  '' \
  '[HKEY_LOCAL_MACHINE\SOFTWARE\WOW6432Node\Tolvmark Audio\TRV-4]' \
  '"Manual"="C:\\Program Files\\Tolvmark Audio\\TRV-4\\TRV-4-manual.html"' >"$win/TRV-4-manual.reg"
sed 's/$/\r/' >"$win/README.txt" <<TEXT
TRV-4 $version, stereo modulation delay for Windows VST 2 hosts
$TRV4_VENDOR, $TRV4_ADDRESS

1. Copy the plug-in that matches your host into its VST plug-in folder:
     32-bit hosts: 32-bit\\TRV-4.dll, e.g. into C:\\Program Files (x86)\\VSTPlugins
     64-bit hosts: 64-bit\\TRV-4.dll, e.g. into C:\\Program Files\\VSTPlugins
   and let the host rescan its plug-ins.
2. For the manual icon on the panel: copy TRV-4-manual.html into
     C:\\Program Files\\Tolvmark Audio\\TRV-4\\
   and double-click TRV-4-manual.reg (administrator rights needed).

The manual, TRV-4-manual.html, explains every control.
TEXT
rm -f "$out/TRV-4-$version-windows.zip"
(cd "$win" && zip -q -X -r "$out/TRV-4-$version-windows.zip" 32-bit 64-bit TRV-4-manual.html TRV-4-manual.reg README.txt)

echo "Release archives in $out:"
ls -1 "$out" | grep -F "TRV-4-$version" | sed 's/^/  /'
