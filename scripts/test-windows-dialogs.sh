#!/usr/bin/env bash
# Runs Backup.exe under Wine through the dialog driver on a product installation made with
# `regedit /S` and real files: the about box, the log viewer, a backup and restores, each
# checked by its script (status 3 when the dialogs did not show what the script expects) and
# by the files and log the run leaves.
#   scripts/test-windows-dialogs.sh BIN_FOLDER   (the Windows build's bin folder)
# Uses WINEPREFIX and DISPLAY when set (as scripts/test-windows.sh sets them); otherwise makes
# a private prefix and an Xvfb display and removes them afterwards.
#
# Wine has no Access ODBC driver, so a backup cannot open the product database there: the run
# must end with the tool's failure message and a failure line in the operation log, and leave
# the installation as it was. Restores are checked with archives that cannot be unpacked.
set -euo pipefail
bin=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine-product.sh
. "$here/wine-product.sh"

own_prefix=""
if [ -z "${WINEPREFIX:-}" ]; then
  own_prefix=$(mktemp -d)
  trap 'wine_prefix_stop; rm -rf "$own_prefix"' EXIT
  wine_prefix_start "$own_prefix/prefix"
else
  trap '[ -n "$wine_xvfb_pid" ] && kill "$wine_xvfb_pid" 2>/dev/null || true' EXIT
  wine_prefix_start "$WINEPREFIX"
fi
wine_product_install "$bin"

failures=0
check() {
  local what=$1
  shift
  if "$@"; then
    echo "ok   $what"
  else
    echo "FAIL $what"
    failures=$((failures + 1))
  fi
}
played() {  # the run's script was played to its end
  [ "$run_status" -eq 0 ] || { sed 's/^/     /' "$wine_work/$1.err" | tail -3; return 1; }
}
transcript_has() { grep -qF -- "$2" "$wine_work/$1.txt"; }

# Two earlier runs in the operation log, for the log viewer.
mkdir -p "$(dirname "$log_file")"
printf '1,1,C:\\Backups\\QDWBackup26Dec01.qdw,2026/12/01 09:30\r\n2,1,C:\\Backups\\QDWBackup26Dec01.qdw,2026/12/02 12:15\r\n' \
  >"$log_file"

wine_backup_run about 'expect dialog 102\nsysmenu 16\nexpect dialog 100\nclick 1\nclick 2\n'
check "about box from the system menu" played about

wine_backup_run log 'click 1003\nexpect dialog 104\nexpect rows 1006 2\nselect 1006 2\nexpect enabled 1004\nclick 1\nclick 2\n'
check "log viewer lists the operation log" played log

wine_backup_run backup 'expect dialog 102\nclick 1\nexpect dialog 105\ntype 1008 C:\\Backups\nclick 1\nexpect shown 1033\nexpect text 1033 The operation could not be completed.\nclose\n'
check "backup plays its dialogs to the end" played backup
check "backup without a database driver reports the failure" transcript_has backup 'dialog 105 ended with 2'
check "backup failure is logged" grep -q '^1,0,' "$log_file"
check "backup leaves no archive" test -z "$(ls "$drive_c/Backups")"
check "backup keeps the repository" test -f "$repository/VARNOLD/QDW/Quillon Deskora/Cabinet 1/Contracts/Lease.txt"

wine_backup_run missing 'click 1001\nclick 1\ntype 1009 C:\\Backups\\Missing.qdw\nclick 1\nexpect message 123\nanswer yes\nexpect message 119\nanswer ok\nclick 2\n'
check "restore of a missing archive says so" played missing

head -c 4096 /dev/urandom >"$drive_c/Backups/Damaged.qdw"
wine_backup_run damaged 'click 1001\nclick 1\ntype 1009 C:\\Backups\\Damaged.qdw\nclick 1\nexpect message 123\nanswer yes\nexpect dialog 106\nclick 2\nexpect text 1033 The operation could not be completed.\\nThe archive could not be unpacked. It may be damaged, or there may not be enough free space.\nclose\n'
check "restore of a damaged archive offers a temporary folder, then fails" played damaged
check "failed restore keeps the installation" test -f "$repository/VARNOLD/QDWie/Index/words.dat"

wine_backup_run wrong 'expect dialog 105\n'
check "a script the dialogs do not meet ends with status 3" test "$run_status" -eq 3
check "and the transcript names the line" transcript_has wrong 'FAILED: C:\QDWRuns\wrong.script line 1'

if [ "$failures" -gt 0 ]; then
  echo "dialog runs under Wine: $failures check(s) failed; transcripts in $wine_work"
  exit 1
fi
echo "dialog runs under Wine passed"
