#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole suite: the Linux build with
# AddressSanitizer and UndefinedBehaviorSanitizer (benchmarks compiled too), the extra checks
# (fuzzing, language builds), then the Windows build and its tests under Wine.
#   ./test.sh           everything (what CI runs)
#   ./test.sh --linux   skip the Windows build, for quick local runs
#   QDW_TEST_RELEASE=1  also build and test the optimized Linux build
set -euo pipefail
cd "$(dirname "$0")"
windows=1
[ "${1:-}" = --linux ] && windows=0
windows_missing=0
jobs=$(nproc)
status=0
if [ $windows = 1 ] && ! ./scripts/install-deps.sh --with-windows; then
  # The Linux half still tells something; the suite fails all the same, since its Windows half
  # did not run.
  echo "test.sh: the Windows packages could not be installed; the Linux suite runs, the" \
    "Windows build and its tests do not, and the suite fails" >&2
  windows=0
  windows_missing=1
  status=1
fi
[ $windows = 1 ] || ./scripts/install-deps.sh
phase_start=$SECONDS
phase() { echo "=== $1 ($((SECONDS - phase_start)) s so far)"; }
run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  (cd "$dir" && ctest --output-on-failure -j "$jobs") || status=1
}
phase "Linux build with sanitizers"
# Line tables are all the sanitizers' reports need; full debug information costs about a tenth
# of the compile time and more of the links.
run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DQDW_SANITIZE=ON -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
  -DCMAKE_C_FLAGS_DEBUG=-g1
if [ "${QDW_TEST_RELEASE:-0}" = 1 ]; then
  phase "Linux optimized build"
  run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
phase "the demo on the sanitizer build"
# The demo is what a new user runs first; a broken demo fails the suite.
demo_machine=$(mktemp -d)
./scripts/run-demo.sh build-asan/bin "$demo_machine/machine" >"$demo_machine.log" 2>&1 ||
  { status=1; cat "$demo_machine.log"; }
tail -n 12 "$demo_machine.log"
rm -rf "$demo_machine" "$demo_machine.log"
phase "extra checks"
[ -x scripts/ci-extra.sh ] && { ./scripts/ci-extra.sh || status=1; }
if [ $windows = 1 ] && [ -x scripts/test-windows.sh ]; then
  phase "Windows build and tests under Wine"
  ./scripts/test-windows.sh || status=1
fi
[ $windows_missing = 0 ] ||
  echo "test.sh: the Windows build and its tests did not run: their packages could not be installed"
phase "done, status $status"
exit $status
