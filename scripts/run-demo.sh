#!/usr/bin/env bash
# The demo scenario on an already built tree: run-demo.sh BIN_DIR MACHINE_DIR
set -euo pipefail
bin=$1
machine=$2
if [ ! -x "$bin/qdwsim" ] || [ ! -x "$bin/Backup" ]; then
  echo "The demo needs qdwsim and Backup; this build has:"
  ls "$bin"
  exit 0
fi
echo "not yet wired"
