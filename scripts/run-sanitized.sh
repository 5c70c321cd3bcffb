#!/usr/bin/env bash
# The whole test suite built with clang under AddressSanitizer and UndefinedBehaviorSanitizer in
# ./build-asan, then a short run of every fuzz target over its corpus. Any sanitizer report fails the run.
#   scripts/run-sanitized.sh [SECONDS per fuzz target (default 10)]
set -euo pipefail
cd "$(dirname "$0")/.."
fuzz_seconds=${1:-10}

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DKT610B_SANITIZE=ON -DKT610B_FUZZ=ON >/dev/null
# Test executables, the command-line tool the CLI tests start, and the fuzz targets; no program, no benchmarks.
cmake --build build-asan -j"$(nproc)" --target kt610b_hid_tests kt610b_toollink_tests kt610b_sim_tests \
  kt610b_core_tests kt610b_cli_tests kt610b_ui_tests kt610b-cli fuzz

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan-suppressions.txt:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir build-asan --output-on-failure

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for src in tests/fuzz/*.cpp; do
  name=$(basename "$src" .cpp)
  # New inputs go to a scratch folder; the corpus in the repository is only read. A round-trip target
  # starts from the corpus of its reader.
  corpus="tests/fuzz/corpus/${name%_roundtrip}"
  mkdir -p "$work/$name"
  echo "fuzz smoke: $name for ${fuzz_seconds} s"
  nice -n 10 "build-asan/$name" -max_total_time="$fuzz_seconds" -max_len=4096 -print_final_stats=1 \
    "$work/$name" "$corpus" 2>"$work/$name.log" || { cat "$work/$name.log" >&2; exit 1; }
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec)' "$work/$name.log" | tr '\n' ' '
  echo
done
