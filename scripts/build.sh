#!/usr/bin/env bash
# build.sh [linux|win32|win64|asan|tsan ...]: configures and builds the named
# trees under build/ (the first four without arguments). Plug-in binaries end
# up in build/<tree>/plugin-bin/. The tsan tree (ThreadSanitizer) builds only
# the plug-in module and the thread test runner.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${TRV4_JOBS:-$(nproc)}
trees=("$@")
[ ${#trees[@]} -gt 0 ] || trees=(linux win32 win64 asan)

for tree in "${trees[@]}"; do
  dir=build/$tree
  targets=()
  case $tree in
    linux) args=(-DCMAKE_BUILD_TYPE=Release) ;;
    asan) args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRV4_SANITIZE=ON -DTRV4_BENCH=OFF) ;;
    tsan) args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRV4_TSAN=ON -DTRV4_BENCH=OFF)
          targets=(--target trv4_thread_tests trv4_module) ;;
    win32) args=(-DCMAKE_BUILD_TYPE=Release -DTRV4_BENCH=OFF -DCMAKE_TOOLCHAIN_FILE=$root/cmake/toolchain-mingw32.cmake) ;;
    win64) args=(-DCMAKE_BUILD_TYPE=Release -DTRV4_BENCH=OFF -DCMAKE_TOOLCHAIN_FILE=$root/cmake/toolchain-mingw64.cmake) ;;
    *) echo "unknown tree: $tree" >&2; exit 2 ;;
  esac
  echo "== build $tree"
  cmake -S . -B "$dir" "${args[@]}" >/dev/null
  cmake --build "$dir" -j "$jobs" "${targets[@]}"
done
