#!/usr/bin/env bash
# format-check.sh: every C and C++ file git tracks is laid out as
# .clang-format says (clang-format 14, Debian's). Lists the files that are
# not; a step of scripts/test.sh. `clang-format -i FILE` mends one.
set -u
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "clang-format is missing (scripts/setup.sh installs it)"; exit 1; }
bad=0
while IFS= read -r -d '' file; do
  if ! clang-format --dry-run -Werror "$file" >/dev/null 2>&1; then
    echo "not formatted: $file"
    bad=$((bad + 1))
  fi
done < <(git ls-files -z -- '*.c' '*.cpp' '*.h')
[ $bad -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed ($bad files)"
[ $bad -eq 0 ]
