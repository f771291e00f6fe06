#!/usr/bin/env bash
# fuzz.sh [SECONDS]: builds the libFuzzer targets with clang in build-fuzz/,
# writes their seed corpus into fuzz/corpus/<target>/ and runs each target
# for SECONDS (default 20) over it. Exits non-zero when a target finds a
# crash (the input is kept in fuzz/findings/).
set -euo pipefail
seconds=${1:-20}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTRV4_FUZZ=ON -DTRV4_TESTS=OFF -DTRV4_BENCH=OFF \
  -DCMAKE_C_FLAGS="-fsanitize=fuzzer-no-link,address,undefined" \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined" >/dev/null
cmake --build "$build" --target fuzz_dib_data fuzz_rsb fuzz_make_corpus -j2 >/dev/null
"$build/fuzz/fuzz_make_corpus" "$root/fuzz/corpus"
cmake --build "$build" --target fuzz_form fuzz_make_form_corpus -j2 >/dev/null
"$build/fuzz/fuzz_make_form_corpus" "$root/fuzz/corpus"
cmake --build "$build" --target fuzz_preset fuzz_dispatcher fuzz_make_host_corpus -j2 >/dev/null
"$build/fuzz/fuzz_make_host_corpus" "$root/fuzz/corpus"
mkdir -p "$root/fuzz/findings"
for target in dib_data rsb form preset dispatcher; do
  echo "fuzz_$target: ${seconds} s"
  log=$build/fuzz_$target.log
  status=0
  "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 \
    -artifact_prefix="$root/fuzz/findings/$target-" -print_final_stats=1 \
    "$root/fuzz/corpus/$target" >"$log" 2>&1 || status=$?
  grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|==[0-9]+==ERROR|SUMMARY)' "$log" || true
  [ "$status" -eq 0 ] || { echo "fuzz_$target found a failure (log: $log)"; exit 1; }
done
