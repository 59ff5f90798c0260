#!/usr/bin/env bash
# The whole fault sweep of the restore and the backup, and more kills than the suite runs: every
# call of each port operation a run makes up to BOUND fails once, SAMPLES later calls of each
# are drawn with SEED, and KILLS runs of the program are killed at random instants. The suite
# runs the same tests with a bound of 1.
#   fault-sweep.sh BUILD_DIR [BOUND] [SAMPLES] [SEED] [KILLS]
set -euo pipefail
build=$(cd "$1" && pwd)
export QDW_SWEEP_BOUND=${2:-4}
export QDW_SWEEP_SAMPLES=${3:-4}
export QDW_SWEEP_SEED=${4:-1}
export QDW_KILL_SWEEP_RUNS=${5:-40}

status=0
for test in app_restore_fault_sweep_test app_backup_fault_sweep_test app_kill_sweep_test; do
  program="$build/bin/$test"
  if [ ! -x "$program" ]; then
    echo "$test is not built in $build" >&2
    status=1
    continue
  fi
  echo "== $test (bound $QDW_SWEEP_BOUND, samples $QDW_SWEEP_SAMPLES, seed $QDW_SWEEP_SEED," \
       "kills $QDW_KILL_SWEEP_RUNS)"
  log=$(mktemp)
  "$program" >"$log" 2>&1 || status=1
  grep -E '^\[ +(OK|FAILED) +\]|fault points|kills|Failure' "$log" || true
  rm -f "$log"
done
exit "$status"
