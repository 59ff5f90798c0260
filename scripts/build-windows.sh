#!/usr/bin/env bash
# Cross-builds the Windows files with MinGW-w64 into build-win/bin: Backup.exe, rightsmend.dll,
# Compressor.dll, Extractor.dll and Lingvault.dll (with qdwcabinet.dll, our cabinet engine).
# Usage: scripts/build-windows.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${1:-build-win}"
scripts/install-deps.sh --windows
cmake -S . -B "$build_dir" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -G Ninja
cmake --build "$build_dir"
