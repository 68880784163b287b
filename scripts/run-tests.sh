#!/usr/bin/env bash
# Checks the format, builds everything with warnings as errors and runs all tests, then runs them again
# under AddressSanitizer and UndefinedBehaviorSanitizer, and the threaded suites under
# ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs="$(nproc)"

# Runs the test programs FOLDER/SUITE... all at once and shows each one's output as it ends;
# fails when any of them failed.
run_at_once() {
  local folder=$1 failed=0 i
  shift
  local pids=() logs=()
  for suite in "$@"; do
    logs+=("$(mktemp)")
    "$folder/$suite" --gtest_brief=1 > "${logs[-1]}" 2>&1 &
    pids+=($!)
  done
  for i in "${!pids[@]}"; do
    wait "${pids[$i]}" || { failed=1; echo "FAILED: $folder/${@:$((i + 1)):1}"; }
    cat "${logs[$i]}"
    rm -f "${logs[$i]}"
  done
  return $failed
}

# The code keeps the repository's format (.clang-format); checked first, as it takes a second.
bash scripts/check-format.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DGRINDLE_WERROR=ON -DGRINDLE_TESTS=ON -DGRINDLE_BENCH=ON > /dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DGRINDLE_WERROR=ON -DGRINDLE_SANITIZE=ON -DGRINDLE_TESTS=ON -DGRINDLE_BENCH=OFF > /dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"

# The suites whose tests run threads (engine queries from another thread, preferences written
# by several instances, MIDI learn, program loads racing the audio thread, the editor recording
# what the audio thread tells it), again under ThreadSanitizer; only their executables are built.
tsan_suites=(test_engine test_platform test_midi test_plugin test_editor)
# The build runs the (instrumented) artwork generator too; see tests/tsan.supp.
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/tests/tsan.supp"
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGRINDLE_WERROR=ON -DGRINDLE_TSAN=ON -DGRINDLE_TESTS=ON -DGRINDLE_BENCH=OFF > /dev/null
cmake --build build-tsan -j"$jobs" --target "${tsan_suites[@]}"
run_at_once "build-tsan/tests" "${tsan_suites[@]}"

# The libFuzzer harnesses of tests/fuzz, built with clang under ASan+UBSan and run 20 seconds
# each (scripts/run-fuzz.sh), then the suites that take a host's input, built in the same clang
# tree: clang's sanitizers see faults that GCC's pass over (an index past the declared bound of
# an array that ends a struct).
bash scripts/run-fuzz.sh 20
clang_suites=(test_midi test_engine test_vst2 test_host)
cmake --build build-fuzz -j"$jobs" --target g2host "${clang_suites[@]}"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_at_once "build-fuzz/tests" "${clang_suites[@]}"
