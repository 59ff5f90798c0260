#!/usr/bin/env bash
# Extra CI steps after the test suites (test.sh runs this when it exists): a bounded fuzzing run
# of the cabinet reader.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/fuzz-cabinet.sh
