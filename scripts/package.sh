#!/usr/bin/env bash
# package.sh [--no-build] [--out DIR]: the release archives, into dist/ (or
# DIR):
#   TRV-4-VERSION-linux-x86_64.tar.gz  TRV-4.so (VST 2), TRV-4.clap,
#                                      TRV-4.vst3/Contents/x86_64-linux/TRV-4.so,
#                                      TRV-4-manual.html, install.sh,
#                                      README.txt (in a folder of the same name)
#   TRV-4-VERSION-windows.zip          32-bit/ and 64-bit/ each with TRV-4.dll
#                                      (VST 2) and TRV-4.clap, the bundle
#                                      TRV-4.vst3/Contents/{x86-win,x86_64-win}/TRV-4.vst3,
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
win32_tree=${TRV4_TREE_WIN32:-build/win32}
win64_tree=${TRV4_TREE_WIN64:-build/win64}
so=$linux_tree/plugin-bin/TRV-4.so
dll32=$win32_tree/plugin-bin/TRV-4.dll
dll64=$win64_tree/plugin-bin/TRV-4.dll
clap_linux=$linux_tree/plugin-bin/TRV-4.clap
clap32=$win32_tree/plugin-bin/TRV-4.clap
clap64=$win64_tree/plugin-bin/TRV-4.clap
vst3_linux=$linux_tree/plugin-bin/TRV-4.vst3/Contents/x86_64-linux/TRV-4.so
vst3_32=$win32_tree/plugin-bin/TRV-4.vst3/Contents/x86-win/TRV-4.vst3
vst3_64=$win64_tree/plugin-bin/TRV-4.vst3/Contents/x86_64-win/TRV-4.vst3
trv4=$linux_tree/bin/trv4
for f in "$so" "$dll32" "$dll64" "$clap_linux" "$clap32" "$clap64" "$vst3_linux" "$vst3_32" "$vst3_64" \
         "$trv4" "$linux_tree/product.env"; do
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
cp "$so" "$clap_linux" "$work/TRV-4-manual.html" "$work/$linux/"
mkdir -p "$work/$linux/TRV-4.vst3/Contents/x86_64-linux"
cp "$vst3_linux" "$work/$linux/TRV-4.vst3/Contents/x86_64-linux/TRV-4.so"
# The archives carry the binaries without their symbol tables; the build
# trees keep the full ones for debugging.
strip --strip-all "$work/$linux/TRV-4.so" "$work/$linux/TRV-4.clap" "$work/$linux/TRV-4.vst3/Contents/x86_64-linux/TRV-4.so"
cp scripts/install.sh "$work/$linux/install.sh"
chmod 0755 "$work/$linux/install.sh" "$work/$linux/TRV-4.so" "$work/$linux/TRV-4.clap" \
  "$work/$linux/TRV-4.vst3/Contents/x86_64-linux/TRV-4.so"
cat >"$work/$linux/README.txt" <<TEXT
TRV-4 $version, stereo modulation delay for Linux hosts (64-bit):
VST 2 (TRV-4.so), VST3 (TRV-4.vst3) and CLAP (TRV-4.clap)
$TRV4_VENDOR, $TRV4_ADDRESS

Install for yourself:        ./install.sh
Install somewhere else:      ./install.sh --prefix /usr/local/lib/vst --vst3 /usr/local/lib/vst3 --clap /usr/local/lib/clap
Machine-wide, as root:       add --config /etc/xdg to the line above

install.sh copies TRV-4.so and TRV-4-manual.html into ~/.vst (or the
--prefix folder), the TRV-4.vst3 bundle into ~/.vst3 (or --vst3) and
TRV-4.clap into ~/.clap (or --clap), and records the manual's location in
~/.config/Tolvmark Audio/TRV-4.ini, so that the page icon on the panel opens
it. Hosts look for VST 2 plug-ins in ~/.vst, /usr/lib/vst, /usr/local/lib/vst
or the folders in \$VST_PATH, for VST3 in ~/.vst3, /usr/lib/vst3 and
/usr/local/lib/vst3, for CLAP in ~/.clap, /usr/lib/clap and the folders in
\$CLAP_PATH; let your host rescan after installing.

Needs glibc 2.34 or newer and libX11. The manual, TRV-4-manual.html,
explains every control.
TEXT
tar -C "$work" --owner=0 --group=0 --numeric-owner -czf "$out/$linux.tar.gz" "$linux"

# Windows: both builds side by side, the manual and its registry record.
win=$work/windows
mkdir -p "$win/32-bit" "$win/64-bit"
mkdir -p "$win/TRV-4.vst3/Contents/x86-win" "$win/TRV-4.vst3/Contents/x86_64-win"
cp "$dll32" "$win/32-bit/TRV-4.dll"; cp "$clap32" "$win/32-bit/TRV-4.clap"
cp "$dll64" "$win/64-bit/TRV-4.dll"; cp "$clap64" "$win/64-bit/TRV-4.clap"
cp "$vst3_32" "$win/TRV-4.vst3/Contents/x86-win/TRV-4.vst3"
cp "$vst3_64" "$win/TRV-4.vst3/Contents/x86_64-win/TRV-4.vst3"
i686-w64-mingw32-strip --strip-all "$win/32-bit/TRV-4.dll" "$win/32-bit/TRV-4.clap" \
  "$win/TRV-4.vst3/Contents/x86-win/TRV-4.vst3"
x86_64-w64-mingw32-strip --strip-all "$win/64-bit/TRV-4.dll" "$win/64-bit/TRV-4.clap" \
  "$win/TRV-4.vst3/Contents/x86_64-win/TRV-4.vst3"
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
TRV-4 $version, stereo modulation delay for Windows hosts:
VST 2 (TRV-4.dll), VST3 (TRV-4.vst3) and CLAP (TRV-4.clap)
$TRV4_VENDOR, $TRV4_ADDRESS

1. Copy the plug-in that matches your host into its plug-in folder:
     VST 2, 32-bit hosts: 32-bit\\TRV-4.dll, e.g. into C:\\Program Files (x86)\\VSTPlugins
     VST 2, 64-bit hosts: 64-bit\\TRV-4.dll, e.g. into C:\\Program Files\\VSTPlugins
     VST3: the folder TRV-4.vst3 (it holds both builds) into
           C:\\Program Files\\Common Files\\VST3 (and, for 32-bit hosts on
           64-bit Windows, C:\\Program Files (x86)\\Common Files\\VST3)
     CLAP: 64-bit\\TRV-4.clap into C:\\Program Files\\Common Files\\CLAP
           (32-bit hosts: 32-bit\\TRV-4.clap into the same folder under
           C:\\Program Files (x86)\\Common Files)
   and let the host rescan its plug-ins.
2. For the manual icon on the panel: copy TRV-4-manual.html into
     C:\\Program Files\\Tolvmark Audio\\TRV-4\\
   and double-click TRV-4-manual.reg (administrator rights needed).

The manual, TRV-4-manual.html, explains every control.
TEXT
rm -f "$out/TRV-4-$version-windows.zip"
(cd "$win" && zip -q -X -r "$out/TRV-4-$version-windows.zip" 32-bit 64-bit TRV-4.vst3 TRV-4-manual.html TRV-4-manual.reg README.txt)

echo "Release archives in $out:"
ls -1 "$out" | grep -F "TRV-4-$version" | sed 's/^/  /'
