#!/usr/bin/env bash
# Installs what is needed, builds everything with warnings as errors under
# AddressSanitizer and UndefinedBehaviorSanitizer, starts a private PostgreSQL server for the
# tests of the server collection, and runs every test. The server is stopped and its folder
# removed at the end, whatever the tests gave.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTUNARIUM_WERROR=ON -DTUNARIUM_SANITIZE=ON
cmake --build build-test --parallel "$(nproc)"
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
source scripts/test_server.sh
start_test_server
ctest --test-dir build-test --output-on-failure --parallel "$(nproc)" "$@"
