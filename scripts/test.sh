#!/usr/bin/env bash
# The whole test suite on a fresh Debian 12 machine: installs what is missing,
# builds the Linux, sanitizer, 32-bit and 64-bit Windows trees, and runs every
# test runner (the Windows ones under wine) with one Xvfb for the windows; the
# thread tests also run in a ThreadSanitizer tree.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/setup.sh || { echo "setup failed"; exit 1; }
bash scripts/build.sh linux asan win32 win64 tsan || { echo "build failed"; exit 1; }

# One X server for every window test of this run (wine binds a server's
# display at its start). -displayfd picks a free display number.
xvfb_pid=
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; }
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  displayfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$displayfile" </dev/null >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -s "$displayfile" ] && break; sleep 0.1; done
  export DISPLAY=:$(tr -d '\n' <"$displayfile")
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
  rm -f "$displayfile"
fi

# Some kernels are built or booted without 32-bit program support: there the
# 32-bit loader answers "Exec format error" (status 126) and wine cannot run
# the 32-bit tree's programs. Its DLL is still built and its exports checked;
# the programs that need wine are counted as skipped, never as passed.
can_run_32bit() {
  [ -x /usr/lib/wine/wine ] || return 1
  local s=0
  /lib/ld-linux.so.2 --help >/dev/null 2>&1 || s=$?
  [ $s -ne 126 ]
}

passed=0; failed=0; skipped=0; status=0
for tree in linux asan win32 win64 tsan; do
  echo "== tests: $tree"
  log=build/$tree/ctest.log
  filter=()
  # The ThreadSanitizer tree holds only what the thread tests need.
  [ $tree = tsan ] && filter=(-L threads)
  if [ $tree = win32 ] && ! can_run_32bit; then
    total=$(ctest --test-dir build/$tree -N | sed -nE 's/^Total Tests: ([0-9]+)/\1/p')
    filter=(-R '^trv4_module_exports$')
    skipped=$((skipped + total - 1))
    echo "this machine cannot run 32-bit programs: $((total - 1)) tests of the win32 tree skipped"
  fi
  junit=$root/build/$tree/ctest-results.xml
  rm -f "$junit"
  ctest --test-dir build/$tree --output-on-failure -j 2 --output-junit "$junit" "${filter[@]}" 2>&1 | tee "$log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  # The counts from ctest's JUnit record: its test suite's attributes.
  if [ -s "$junit" ]; then
    count() { sed -n "s/^[[:space:]]*$1=\"\([0-9]*\)\".*/\1/p" "$junit" | head -1; }
    total=$(count tests); bad=$(count failures); notrun=$(( $(count skipped) + $(count disabled) ))
    passed=$((passed + total - bad - notrun)); failed=$((failed + bad)); skipped=$((skipped + notrun))
  else
    echo "ctest wrote no results for the $tree tree"
    failed=$((failed + 1)); status=1
  fi
done

if [ -x scripts/fuzz.sh ]; then
  echo "== fuzz"
  if bash scripts/fuzz.sh; then passed=$((passed + 1)); else failed=$((failed + 1)); status=1; fi
fi

echo "== layout (.clang-format)"
if bash scripts/format-check.sh; then passed=$((passed + 1)); else failed=$((failed + 1)); status=1; fi

echo "== release packages"
if bash scripts/package-check.sh; then passed=$((passed + 1)); else failed=$((failed + 1)); status=1; fi

echo "$passed passed, $failed failed, $skipped skipped"
exit $status
