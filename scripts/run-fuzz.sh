#!/usr/bin/env bash
# Builds the libFuzzer harnesses of tests/fuzz with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer (build-fuzz) and runs each for a bounded time, several at once;
# fails on any finding (a crash, a sanitizer report, a leak, a hang, a broken promise).
#
#   scripts/run-fuzz.sh [SECONDS [HARNESS...]]     default: 20 seconds, every harness
#
# GRINDLE_FUZZ_PARALLEL sets how many run at once (default: one per core). Each run starts from
# the committed seeds (tests/fuzz/corpus/HARNESS) and keeps what it finds in
# build-fuzz/fuzz/HARNESS/corpus, which the next run starts from too; a finding is saved as
# build-fuzz/fuzz/HARNESS/crash-... and the log is build-fuzz/fuzz/HARNESS/log.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
shift || true
harnesses=("$@")
[ ${#harnesses[@]} -gt 0 ] || harnesses=(chunk ecs wsr prefs numEntry text hostStream)
jobs="$(nproc)"
parallel="${GRINDLE_FUZZ_PARALLEL:-$jobs}"

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g" "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -g" \
  -DGRINDLE_WERROR=ON -DGRINDLE_SANITIZE=ON -DGRINDLE_FUZZ=ON -DGRINDLE_TESTS=ON -DGRINDLE_BENCH=OFF > /dev/null
cmake --build build-fuzz -j"$jobs" --target grindle_fuzz

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
top="$PWD"
root="$top/build-fuzz/fuzz"
run_one() {
  local h="$1" dir="$root/$1"
  mkdir -p "$dir/corpus" "$dir/seeds"
  rm -f "$dir"/crash-* "$dir"/leak-* "$dir"/timeout-* "$dir"/oom-*
  if [ "$h" = chunk ]; then build-fuzz/tests/fuzz/fuzz_chunk_seeds "$dir/seeds"; fi
  local seeds=("$dir/seeds")
  [ -d "tests/fuzz/corpus/$h" ] && seeds+=("$top/tests/fuzz/corpus/$h")
  # The harnesses' files (preferences, maps, presets) go to a private folder in memory when there
  # is one: the preference writes are flushed to disk every time, which would set the pace.
  local tmp status=0
  tmp="$(mktemp -d "$(if [ -w /dev/shm ]; then echo /dev/shm; else echo "${TMPDIR:-/tmp}"; fi)/grindle-fuzz.XXXXXX")"
  (cd "$dir" && TMPDIR="$tmp" "$top/build-fuzz/tests/fuzz/fuzz_$h" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$dir/" corpus "${seeds[@]}") > "$dir/log" 2>&1 || status=$?
  rm -rf "$tmp"
  return "$status"
}

failed=()
pids=()
names=()
report() {
  local h="$1" status="$2" runs
  runs="$(grep -o 'number_of_executed_units: [0-9]*' "$root/$h/log" | grep -o '[0-9]*$' || echo '?')"
  if [ "$status" -eq 0 ]; then
    printf 'fuzz_%-11s %10s runs in %s s, nothing found\n' "$h" "$runs" "$seconds"
  else
    printf 'fuzz_%-11s FAILED (log: build-fuzz/fuzz/%s/log)\n' "$h" "$h"
    grep -E 'ERROR|runtime error|promise broken|Test unit written' "$root/$h/log" | head -20 || true
    failed+=("$h")
  fi
}
for h in "${harnesses[@]}"; do
  if [ ! -f "tests/fuzz/fuzz_$h.cpp" ]; then
    echo "no harness named $h" >&2
    exit 2
  fi
  run_one "$h" &
  pids+=("$!")
  names+=("$h")
  if [ ${#pids[@]} -ge "$parallel" ]; then
    status=0
    wait "${pids[0]}" || status=$?
    report "${names[0]}" "$status"
    pids=("${pids[@]:1}")
    names=("${names[@]:1}")
  fi
done
for i in "${!pids[@]}"; do
  status=0
  wait "${pids[$i]}" || status=$?
  report "${names[$i]}" "$status"
done
[ ${#failed[@]} -eq 0 ] || { echo "fuzzing found faults in: ${failed[*]}"; exit 1; }
