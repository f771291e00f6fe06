#!/usr/bin/env bash
# build.sh [linux|win32|win64|asan ...]: configures and builds the named trees
# under build/ (all four without arguments). Plug-in binaries end up in
# build/<tree>/plugin-bin/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${TRV4_JOBS:-$(nproc)}
trees=("$@")
[ ${#trees[@]} -gt 0 ] || trees=(linux win32 win64 asan)

for tree in "${trees[@]}"; do
  dir=build/$tree
  case $tree in
    linux) args=(-DCMAKE_BUILD_TYPE=Release) ;;
    asan) args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRV4_SANITIZE=ON -DTRV4_BENCH=OFF) ;;
    win32) args=(-DCMAKE_BUILD_TYPE=Release -DTRV4_BENCH=OFF -DCMAKE_TOOLCHAIN_FILE=$root/cmake/toolchain-mingw32.cmake) ;;
    win64) args=(-DCMAKE_BUILD_TYPE=Release -DTRV4_BENCH=OFF -DCMAKE_TOOLCHAIN_FILE=$root/cmake/toolchain-mingw64.cmake) ;;
    *) echo "unknown tree: $tree" >&2; exit 2 ;;
  esac
  echo "== build $tree"
  cmake -S . -B "$dir" "${args[@]}" >/dev/null
  cmake --build "$dir" -j "$jobs"
done
