#!/usr/bin/env bash
# Installs what the build and the tests need on a fresh Debian 12 machine
# (run as root). Installs only what is missing; safe to run again.
set -euo pipefail

packages=(
  cmake g++ clang clang-format libclang-rt-14-dev make
  googletest libgtest-dev libbenchmark-dev
  libsndfile1-dev libx11-dev libjpeg62-turbo-dev libpng-dev
  fonts-liberation libstb-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine wine32:i386 wine64 fonts-wine
  xvfb xdotool imagemagick x11-utils zip unzip
  tap-plugins ladspa-sdk
  ardour
)

# A kernel without 32-bit support (its loader answers "Exec format error",
# status 126) cannot run wine32 at all, and installing it while the i386 and
# amd64 archives differ in version removes wine64: leave it out there.
skip=
if [ -x /lib/ld-linux.so.2 ]; then
  status=0
  /lib/ld-linux.so.2 --help >/dev/null 2>&1 || status=$?
  [ $status -eq 126 ] && skip=wine32:i386
fi

missing=()
for p in "${packages[@]}"; do
  [ "$p" = "$skip" ] && continue
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
# A mirror in the middle of a sync makes apt-get update fail for one index
# while the others are fine: try again, then go on with what was fetched.
for attempt in 1 2 3; do
  apt-get update -qq && break
  echo "apt-get update failed (attempt $attempt), retrying" >&2
  sleep 5
done
install() { apt-get install -y -qq --no-install-recommends "$@" >/dev/null; }
install "${missing[@]}" && exit 0

# When the i386 index of the security archive could not be fetched (a mirror
# mid-sync), the amd64 libraries installed from security and their i386
# twins from the main archive differ in version, and wine32 cannot be
# installed next to wine64. Take the main archive's versions (-t bookworm)
# and, for every library whose two architectures must match, pin the amd64
# one to the version the i386 one gets (a downgrade of a security update by
# one step, on a build machine). apt's resolver also needs the one i386
# library it trips over named explicitly.
echo "apt-get install failed; trying the main archive's versions" >&2
args=(-t bookworm --allow-downgrades "${missing[@]}")
if [[ " ${missing[*]} " == *" wine32:i386 "* ]]; then
  args+=(wine64 libgstreamer-plugins-base1.0-0:i386)
fi
for _ in 1 2 3 4 5 6 7 8; do
  pins=$(apt-get install -s --no-install-recommends "${args[@]}" 2>&1 |
    sed -nE 's/^ *([^ :]+) : Breaks: \1:i386 \(!= [^)]*\) but ([^ ]+) is to be installed.*/\1=\2/p' | sort -u)
  [ -z "$pins" ] && break
  args+=($pins)
done
install "${args[@]}" || exit 1
# Nothing that was there before may have been removed on the way.
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || { echo "still missing: $p" >&2; exit 1; }
done
