#!/usr/bin/env bash
# Runs Backup.exe under Wine through the dialog driver on a product installation made with
# `reg import` and real files: the about box, the log viewer, backups and restores, each
# checked by its script (status 3 when the dialogs did not show what the script expects) and
# by the files, the archive, the database, the registry and the log the run leaves.
#   scripts/test-windows-dialogs.sh BIN_FOLDER   (the Windows build's bin folder)
# Uses WINEPREFIX and DISPLAY when set (as scripts/test-windows.sh sets them); otherwise makes
# a private prefix and an Xvfb display and removes them afterwards.
#
# The database is an SQLite file reached through the host's SQLite ODBC driver, registered
# under the Access driver's name in a private unixODBC driver list (scripts/wine-product.sh).
# Wine's own cabinet library cannot write a set whose volume size is left to it: one backup
# shows that failure, the others choose our engine (QDW_CABINET_LIBRARY=qdwcabinet.dll).
# A backup and a restore complete; the restore's registry entries and printer repair are
# checked, and a backup leaves out a document another program holds open. A shared folder outside the repository is archived with its record (Wine's
# NetShareEnum is a stub, so without share details), but restoring it needs the product's
# share proxy service, which Wine lacks: that restore reports the failure and puts the
# installation back. Also covered: a backup whose database is missing, restores of a missing
# and of a damaged archive, and a script the dialogs do not meet.
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
outcome_is() { transcript_has "$1" "  1033 static shown enabled \"$2\""; }
log_has() { grep -qF -- "$1" "$log_file"; }
sql() { sqlite3 "$1" "$2"; }
cabextract_test() { cabextract -q -t "$1" >/dev/null 2>&1; }
backups_hold() { [ "$(cd "$drive_c/Backups" && ls | tr '\n' ' ')" = "$1" ]; }
documents="$repository/VARNOLD/QDW/Quillon Deskora/Cabinet 1"
backup_script() {  # archive name typed over the proposed one
  printf 'expect dialog 102\\nclick 1\\nexpect dialog 105\\ntype 1008 C:\\\\Backups\\ntype 1013 %s\\nclick 1\\nexpect shown 1033\\nclose\\n' "$1"
}

# Two earlier runs in the operation log, for the log viewer.
mkdir -p "$(dirname "$log_file")"
printf '1,1,C:\\Backups\\QDWBackup26Dec01.qdw,2026/12/01 09:30\r\n2,1,C:\\Backups\\QDWBackup26Dec01.qdw,2026/12/02 12:15\r\n' \
  >"$log_file"

wine_backup_run about 'expect dialog 102\nsysmenu 16\nexpect dialog 100\nclick 1\nclick 2\n'
check "about box from the system menu" played about

wine_backup_run log 'click 1003\nexpect dialog 104\nexpect rows 1006 2\nselect 1006 2\nexpect enabled 1004\nclick 1\nclick 2\n'
check "log viewer lists the operation log" played log

# The program is 32-bit and finds the product's machine keys in the registry's 32-bit view;
# the 64-bit view has none.
in_view() { "$1" query 'HKLM\Software\VARNOLD\Quillon Deskora' /v Display_Version >/dev/null 2>&1; }
check "the product's machine keys lie in the 32-bit view" in_view wine_reg32
check "and not in the 64-bit view" eval '! in_view wine_reg64'
# Its %ProgramFiles% names the x86 program folder; the other program folder is refused too.
wine_backup_run programs 'expect dialog 102\nclick 1\nexpect dialog 105\ntype 1008 C:\\Program Files\\Backups\ntype 1013 Refused\nclick 1\nexpect message 185\nanswer ok\nexpect shown 1033\nclose\n'
check "a backup into the 64-bit program folder is refused" played programs

# Without the product database the backup fails cleanly.
mv "$database" "$database.aside"
wine_backup_run nodb "$(backup_script NoDatabase)"
mv "$database.aside" "$database"
check "backup without the database plays its dialogs to the end" played nodb
check "and reports the missing database" outcome_is nodb 'The operation could not be completed.\nThe archive file could not be created, or the document database of Quillon Deskora is missing. Check the free space at the destination.'
check "and logs the failure" log_has '1,0,C:\Backups\NoDatabase.qdw,'
check "and leaves no archive and no work folder" backups_hold ""

# Wine's FCI takes the volume size 0, which leaves the size to the library, literally and fails
# the first file: with the system's cabinet library the archive cannot be written.
wine_backup_run winecab "$(backup_script WineCabinet)"
check "backup with Wine's cabinet library fails to write the archive" outcome_is winecab 'The operation could not be completed.\nThe archive could not be written.'
check "and leaves no archive and no work folder" backups_hold ""

export QDW_CABINET_LIBRARY=qdwcabinet.dll
wine_backup_run backup "$(backup_script Weekly)"
check "backup plays its dialogs to the end" played backup
check "backup completes" outcome_is backup 'The operation completed successfully.'
check "and the dialog said what it was doing" transcript_has backup \
  'text 1037 "Packing the archive... (volume 1)"'
check "and how far it had got" transcript_has backup 'progress 1038 100'
check "backup is logged" log_has '1,1,C:\Backups\Weekly.qdw,'
check "backup leaves the archive alone at the destination" backups_hold "Weekly.qdw "
check "the archive is a sound cabinet" cabextract_test "$drive_c/Backups/Weekly.qdw"
unpacked=$wine_work/unpacked
rm -rf "$unpacked" && mkdir -p "$unpacked"
cabextract -q -d "$unpacked" "$drive_c/Backups/Weekly.qdw" >/dev/null 2>&1 || true
lease="$unpacked/VARNOLD/QDW/Quillon Deskora/Cabinet 1/Contracts/Lease.txt"
check "the archive holds the documents" cmp -s "$documents/Contracts/Lease.txt" "$lease"
check "the archive holds the index" test -f "$unpacked/VARNOLD/QDWie/Index/words.dat"
check "the archive has no share information (no shared folders)" \
  test ! -e "$unpacked/BackupShareInfo.txt"
check "the archived database has no document flagged open" test "$(sql \
  "$unpacked/VARNOLD/QDW/DataBase/VNDATABASE.mdb" \
  'SELECT (SELECT count(*) FROM qln_file_properties WHERE is_open = 1) + (SELECT count(*) FROM qln_merged_files WHERE is_open = 1)')" = 0
check "the repository's database is untouched" test "$(sql "$database" \
  'SELECT group_concat(is_open) FROM qln_file_properties')" = "1,0,1"

# A document another program holds open (without sharing): the backup asks whether to go on,
# leaves the document out with its original and its database row, lists it in the failure
# list and offers that list; the repository keeps everything.
if [ -f "$bin/hold_file.exe" ]; then
  wine_hold_open "$bin" 'C:\QDWData\Repository\VARNOLD\QDW\Quillon Deskora\Cabinet 1\Contracts\Lease.pdf'
  wine_backup_run locked 'expect dialog 102\nclick 1\nexpect dialog 105\ntype 1008 C:\\Backups\ntype 1013 Locked\nclick 1\nexpect dialog 9003\nclick 1\nexpect dialog 9003\nexpect text 9000 Some documents were in use by another program and could not be backed up. They are listed in the failure list. Would you like to view it now?\nclick 2\nexpect shown 1033\nclose\n'
  wine_hold_release
  check "backup with a locked document plays its dialogs to the end" played locked
  check "and completes" outcome_is locked 'The operation completed successfully.'
  failure_list="$(dirname "$log_file")/BackupFailureLog.txt"
  check "and lists the document in the failure list" grep -qF \
    'PDF File Name:  c:\qdwdata\repository\varnold\qdw\quillon deskora\cabinet 1\contracts\lease.pdf' \
    "$failure_list"
  locked_unpacked=$wine_work/locked-unpacked
  rm -rf "$locked_unpacked" && mkdir -p "$locked_unpacked"
  cabextract -q -d "$locked_unpacked" "$drive_c/Backups/Locked.qdw" >/dev/null 2>&1 || true
  check "the archive leaves the document and its original out" \
    test ! -e "$locked_unpacked/VARNOLD/QDW/Quillon Deskora/Cabinet 1/Contracts/Lease.pdf" -a \
    ! -e "$locked_unpacked/VARNOLD/QDW/Quillon Deskora/Cabinet 1/Contracts/Lease.txt" -a \
    -f "$locked_unpacked/VARNOLD/QDW/Quillon Deskora/Cabinet 1/Minutes.txt"
  check "and its database row" test "$(sql "$locked_unpacked/VARNOLD/QDW/DataBase/VNDATABASE.mdb" \
    'SELECT group_concat(pdf_name) FROM qln_file_properties')" = "Minutes,Budget"
  check "the repository keeps the document and its row" test -f "$documents/Contracts/Lease.pdf" -a \
    "$(sql "$database" 'SELECT count(*) FROM qln_file_properties')" = 3
else
  echo "skip the locked document: $bin/hold_file.exe is not built"
fi

# The user's shared folders as the product registers them, under the logon domain and user
# name the workstation service reports (Wine: the computer name and the Unix user).
user_key=$("$wine_cmd" cmd /c 'echo %USERDOMAIN%/%USERNAME%' | tr -d '\r')
shares_key="HKLM\\Software\\VARNOLD\\Quillon Deskora\\QDW\\Shared Folders\\$user_key"
# The names of the user's registered shares; "missing" when the user's key is gone.
registered() {
  local listing
  listing=$(wine_reg32 query "$shares_key" 2>/dev/null) || { echo missing; return; }
  printf '%s\n' "$listing" | tr -d '\r' | sed -n 's|^HKEY.*\\||p' | tr '\n' ' '
}

# Damage the installation (a folder and a file gone, a stray file) and register a share the
# archive does not know; the restore puts the archive's state back, shares included.
rm -rf "$documents/Contracts" "$repository/VARNOLD/QDWie/Index/words.dat"
printf 'stray\r\n' >"$documents/Stray.txt"
wine_reg32 add "$shares_key\\Stale" /v Path /d 'C:\Stale' /f >/dev/null
restore_script='click 1001\nclick 1\ntype 1009 C:\\Backups\\%s.qdw\nclick 1\nexpect message 123\nanswer yes\nexpect shown 1033\nclose\n'
# shellcheck disable=SC2059
wine_backup_run restore "$(printf "$restore_script" Weekly)"
check "restore plays its dialogs to the end" played restore
check "restore completes" outcome_is restore 'The operation completed successfully.'
check "restore is logged" log_has '3,1,C:\Backups\Weekly.qdw,'
check "the documents are back" cmp -s "$lease" "$documents/Contracts/Lease.txt"
check "the index is back" test -f "$repository/VARNOLD/QDWie/Index/words.dat"
check "the stray file is gone" test ! -e "$documents/Stray.txt"
check "no marker file is left in the repository" test -z "$(find "$repository" -name 'VarnoldBackup*')"
check "no temporary folder is left" test ! -e "$repository/VARNOLDBackUpTemp"
check "the user's registered shares are those of the archive (none)" test -z "$(registered)"
check "the printer whose icon is in the settings folder points there" test "$(sql "$database" \
  'SELECT group_concat(ID || "=" || Icon_Path) FROM qln_printer')" = \
  '1=C:\QDWData\Repository\VARNOLD\QDW\Settings\Printer.ico=0'

# A shared folder outside the repository goes into the archive with its record. Restoring it
# needs the product's share proxy service on this Windows version (Wine reports 6.1), a COM
# class Wine does not have: CoCreateInstanceEx fails with "class not registered", the restore
# reports that the shares could not be restored and puts the installation back as it was.
rm -rf "$drive_c/Scans" && mkdir -p "$drive_c/Scans"
printf 'scan 1\r\n' >"$drive_c/Scans/Scan1.txt"
wine_reg32 add "$shares_key\\Scans" /v Path /d 'C:\Scans' /f >/dev/null
wine_backup_run shared "$(backup_script Shared)"
check "backup with a shared folder completes" outcome_is shared 'The operation completed successfully.'
rm -rf "$unpacked" && mkdir -p "$unpacked"
cabextract -q -d "$unpacked" "$drive_c/Backups/Shared.qdw" >/dev/null 2>&1 || true
check "the archive holds the shared folder outside the repository" test -f "$unpacked/Scans/Scan1.txt"
check "and records it (without share details: Wine's NetShareEnum is a stub)" \
  grep -qx 'Scans,C:\\Scans' "$unpacked/BackupShareInfo.txt"
rm -rf "$drive_c/Scans" "$repository/VARNOLD/QDWie/Index"
wine_backup_run unshared "$(printf "$restore_script" Shared)"
check "restore without the share service plays its dialogs to the end" played unshared
check "and says the shared folders could not be restored" outcome_is unshared \
  'The operation could not be completed.\nThe shared folders and their settings could not be restored completely.'
check "and logs the failure" log_has '3,0,C:\Backups\Shared.qdw,'
check "and puts the installation back as it was" test ! -e "$repository/VARNOLD/QDWie/Index"
check "and keeps the documents" cmp -s "$lease" "$documents/Contracts/Lease.txt"
check "and leaves no temporary folder" test ! -e "$repository/VARNOLDBackUpTemp"
check "and leaves the user's registered shares alone" test "$(registered)" = "Scans "

wine_backup_run missing 'click 1001\nclick 1\ntype 1009 C:\\Backups\\Missing.qdw\nclick 1\nexpect message 123\nanswer yes\nexpect message 119\nanswer ok\nclick 2\n'
check "restore of a missing archive says so" played missing

head -c 4096 /dev/urandom >"$drive_c/Backups/Damaged.qdw"
wine_backup_run damaged 'click 1001\nclick 1\ntype 1009 C:\\Backups\\Damaged.qdw\nclick 1\nexpect message 123\nanswer yes\nexpect dialog 106\nclick 2\nexpect text 1033 The operation could not be completed.\\nThe archive could not be unpacked. It may be damaged, or there may not be enough free space.\nclose\n'
check "restore of a damaged archive offers a temporary folder, then fails" played damaged
check "failed restore keeps the installation" cmp -s \
  "$unpacked/VARNOLD/QDW/Quillon Deskora/Cabinet 1/Contracts/Lease.txt" "$documents/Contracts/Lease.txt"

# Another program holds a PDF of the repository open: the backup asks in the custom message
# box whether to go on, and Cancel stops it before an archive is written.
if [ -f "$bin/hold_file.exe" ]; then
  printf '%%PDF-1.4\n' >"$documents/Contracts/Held.pdf"
  wine_hold_open "$bin" 'C:\QDWData\Repository\VARNOLD\QDW\Quillon Deskora\Cabinet 1\Contracts\Held.pdf'
  archives=$(cd "$drive_c/Backups" && ls | tr '\n' ' ')
  wine_backup_run held 'expect dialog 102\nclick 1\nexpect dialog 105\ntype 1008 C:\\Backups\ntype 1013 Held\nclick 1\nexpect dialog 9003\nexpect text 2 Cancel\nclick 2\nexpect shown 1033\nclose\n'
  check "backup with a PDF held open asks in the custom message box; Cancel stops it" played held
  check "and no archive is written" backups_hold "$archives"
  wine_hold_release
  rm -f "$documents/Contracts/Held.pdf"
else
  echo "skip the PDF held open: $bin/hold_file.exe is not built"
fi

wine_backup_run wrong 'expect dialog 105\n'
check "a script the dialogs do not meet ends with status 3" test "$run_status" -eq 3
check "and the transcript names the line" transcript_has wrong 'FAILED: C:\QDWRuns\wrong.script line 1'

if [ "$failures" -gt 0 ]; then
  echo "dialog runs under Wine: $failures check(s) failed; transcripts in $wine_work"
  exit 1
fi
echo "dialog runs under Wine passed"
