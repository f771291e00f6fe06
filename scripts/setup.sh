#!/usr/bin/env bash
# Installs what the build and the tests need on a fresh Debian 12 machine
# (run as root). Installs only what is missing; safe to run again.
set -euo pipefail

packages=(
  cmake g++ clang libclang-rt-14-dev make pkg-config
  googletest libgtest-dev libbenchmark-dev
  libsndfile1-dev libx11-dev libfreetype-dev libjpeg62-turbo-dev libpng-dev zlib1g-dev
  fonts-liberation libstb-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine wine32:i386 wine64 fonts-wine
  xvfb xdotool imagemagick x11-utils zip
  valgrind
)

missing=()
for p in "${packages[@]}"; do
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
for attempt in 1 2; do
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null && exit 0
  echo "apt-get install failed (attempt $attempt)" >&2
  apt-get update -qq || true
done
exit 1
