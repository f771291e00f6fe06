# Sourced by every script that runs a Windows program: one way to run wine
# for each architecture, whichever wine packages are installed.
#
# Debian's `wine` (and `wineboot`, `winepath`, ...) is a script that starts
# the 32-bit loader whenever wine32 is installed. In a 64-bit prefix that
# runs the 32-bit builds of reg.exe and regedit.exe, which see the 32-bit
# registry view, and starts a 64-bit program as a child of a 32-bit loader
# process, so signals sent to the process we started never reach it. Here
# each architecture names its own loader, and wine's own tools are started
# through it by their .exe names.
#
# wine_use ARCH PREFIX: ARCH is win32 or win64. Exports WINEPREFIX,
#   WINEARCH, WINEDEBUG, WINEDLLOVERRIDES and WINELOADER for the prefix.
# wine_exec PROGRAM ARGS...: runs PROGRAM (a path or a tool such as reg.exe)
#   with the loader of ARCH.
# wine_path ARGS...: winepath through the same loader.
# wine_server_start / wine_server_stop: the prefix's own persistent server
#   (stops only this prefix's), with standard streams off any caller's pipe.
# wine_boot: creates or updates the prefix.

wine_loader_for() {
  case $1 in
    win64)
      if [ -x /usr/lib/wine/wine64 ]; then echo /usr/lib/wine/wine64; else command -v wine64 || echo wine; fi ;;
    *)
      if [ -x /usr/lib/wine/wine ]; then echo /usr/lib/wine/wine; else echo wine; fi ;;
  esac
}

wine_use() {
  mkdir -p "$2"
  export WINEPREFIX=$2 WINEARCH=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  WINELOADER=$(wine_loader_for "$1")
  export WINELOADER
}

wine_exec() { "$WINELOADER" "$@"; }
wine_path() { "$WINELOADER" winepath.exe "$@" 2>/dev/null; }
wine_server_start() { wineserver -p </dev/null >/dev/null 2>&1; }
wine_server_stop() { wineserver -k </dev/null >/dev/null 2>&1 || true; }
wine_boot() { "$WINELOADER" wineboot.exe --init </dev/null >/dev/null 2>&1; }
