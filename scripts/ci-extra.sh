#!/usr/bin/env bash
# Extra CI steps after the test suites (test.sh runs this when it exists): a bounded fuzzing run
# of the cabinet reader, and the language-dependent tests in every other language build, made
# from the sanitizer build folder without a full rebuild.
set -euo pipefail
cd "$(dirname "$0")/.."
status=0
./scripts/fuzz-cabinet.sh || status=1
./scripts/check-languages.sh build-asan || status=1
exit $status
