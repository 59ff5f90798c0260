#!/usr/bin/env bash
# Extra CI steps after the test suites (test.sh runs this when it exists): a bounded fuzzing run
# of the cabinet reader, and the language-dependent tests in every other language build, made
# from the sanitizer build folder without a full rebuild. The fuzzing run holds one core for a
# fixed time, so it runs beside the language checks; its output is shown when it ends.
set -euo pipefail
cd "$(dirname "$0")/.."
status=0
fuzz_log=$(mktemp)
./scripts/fuzz-cabinet.sh >"$fuzz_log" 2>&1 &
fuzz_pid=$!
trap '[ -z "$fuzz_pid" ] || kill "$fuzz_pid" 2>/dev/null || true; rm -f "$fuzz_log"' EXIT
./scripts/check-languages.sh build-asan || status=1
echo "== fuzzing the cabinet reader"
wait "$fuzz_pid" || { echo "fuzzing the cabinet reader FAILED"; status=1; }
fuzz_pid=""
cat "$fuzz_log"
exit $status
