#!/usr/bin/env bash
# wine-run.sh PREFIX TRIPLE (--boot | --stop | PROGRAM ARGS...)
# Runs a Windows program of a cross build under wine in the build tree's own
# prefix: 32-bit prefix and loader for i686, 64-bit for x86_64. --boot
# creates the prefix and starts a persistent wine server for it; --stop
# stops that server only.
set -u
. "$(dirname "$0")/wine-env.sh"
prefix=$1; triple=$2; shift 2
case $triple in
  i686*) wine_use win32 "$prefix" ;;
  *) wine_use win64 "$prefix" ;;
esac
case ${1:-} in
  --boot) wine_server_start; wine_boot; exit 0 ;;
  --stop) wine_server_stop; exit 0 ;;
esac
[ -f "$prefix/system.reg" ] || wine_boot
exec "$WINELOADER" "$@"
