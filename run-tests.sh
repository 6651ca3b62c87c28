#!/usr/bin/env bash
# Installs what the machine lacks, builds Quillon and runs every test.
#   ./run-tests.sh              plain build in build/
#   ./run-tests.sh --sanitize   AddressSanitizer + UBSan build in build-asan/
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

build=build
flags=()
if [ "${1:-}" = "--sanitize" ]; then
  build=build-asan
  flags=(-DQUILLON_SANITIZE=ON -DQUILLON_BENCH=OFF)
  export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1"
  export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
fi

cmake -S . -B "$build" -G Ninja "${flags[@]}"
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure --timeout 120 -j2
