#!/usr/bin/env bash
# Builds everything, makes a sample stand-in machine and runs a backup and then a restore on it
# without a screen, printing what happened and where the archive and the log are.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
exec ./scripts/run-demo.sh build/bin "${QDW_DEMO_MACHINE:-$PWD/demo-machine}"
