#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole suite: a normal build and one with
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
jobs=$(nproc)
status=0
run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  (cd "$dir" && ctest --output-on-failure -j "$jobs") || status=1
}
run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [ "${QDW_SKIP_SANITIZERS:-0}" != 1 ]; then
  run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DQDW_SANITIZE=ON -DQDW_BUILD_BENCH=OFF
fi
[ -x scripts/ci-extra.sh ] && { ./scripts/ci-extra.sh || status=1; }
exit $status
