#!/usr/bin/env bash
# Builds everything with warnings as errors and runs all tests, then runs them again
# under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs="$(nproc)"

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DGRINDLE_WERROR=ON -DGRINDLE_TESTS=ON -DGRINDLE_BENCH=ON > /dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DGRINDLE_WERROR=ON -DGRINDLE_SANITIZE=ON -DGRINDLE_TESTS=ON -DGRINDLE_BENCH=OFF > /dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"

# The editor's cross-thread records once more under ThreadSanitizer.
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGRINDLE_WERROR=ON -DGRINDLE_TSAN=ON -DGRINDLE_TESTS=ON -DGRINDLE_BENCH=OFF > /dev/null
cmake --build build-tsan -j"$jobs" --target test_editor
TSAN_OPTIONS=halt_on_error=1 build-tsan/tests/test_editor --gtest_filter='EditorThreads.*:EditorIdle.*'
