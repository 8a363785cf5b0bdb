#!/usr/bin/env bash
# Installs what is needed, builds the program and starts it on the default
# collection (the user's data directory), passing any arguments on.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --parallel "$(nproc)"
exec ./build/tunarium "$@"
