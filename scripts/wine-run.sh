#!/usr/bin/env bash
# wine-run.sh PREFIX TRIPLE (--boot | --stop | PROGRAM ARGS...)
# Runs a Windows program of a cross build under wine in the build tree's own
# prefix: 32-bit prefix for i686, 64-bit for x86_64. --boot creates the prefix
# and starts a persistent wine server for it; --stop stops that server only.
set -u
prefix=$1; triple=$2; shift 2
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
case $triple in
  i686*) export WINEARCH=win32 ;;
  *) export WINEARCH=win64 ;;
esac
case ${1:-} in
  --boot)
    mkdir -p "$prefix"
    # Wine's background processes inherit stdout; keep them off ctest's pipe.
    wineserver -p </dev/null >/dev/null 2>&1
    wineboot --init </dev/null >/dev/null 2>&1
    exit 0 ;;
  --stop)
    wineserver -k </dev/null >/dev/null 2>&1 || true
    exit 0 ;;
esac
[ -d "$prefix" ] || { mkdir -p "$prefix"; wineboot --init </dev/null >/dev/null 2>&1; }
exec wine "$@"
