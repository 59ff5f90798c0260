#!/usr/bin/env bash
# The demo on a built tree: makes a sample stand-in machine, backs its product up with the
# Backup program (driven headless by a script, as a user would click), damages the
# installation, restores the archive set, and compares the repository with its state at
# backup time.   run-demo.sh BIN_DIR MACHINE_DIR [SIZE_MB]
set -euo pipefail
bin=$(cd "$1" && pwd)
machine=$2
size=${3:-60}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

outcome=0
step() { printf '\n== %s\n' "$*"; }
repo_host() { echo "$machine/drives/C/Users/jo/QDW Repository"; }

# Runs Backup with a dialog script; prints the dialogs and messages it went through.
run_backup() {
  local name=$1 script=$2
  printf '%b' "$script" >"$work/$name.script"
  local status=0
  QDW_MACHINE=$machine QDW_UI_SCRIPT="$work/$name.script" QDW_UI_TRANSCRIPT="$work/$name.log" \
    "$bin/Backup" 2>"$work/$name.err" || status=$?
  grep -E '^(dialog|message)|1033' "$work/$name.log" | sed 's/^/   /' | head -40 || true
  if [ "$status" -ne 0 ]; then
    echo "   Backup ended with status $status:"
    sed 's/^/   /' "$work/$name.err" | tail -5
  fi
  return "$status"
}

step "Making a sample machine in $machine ($size MB repository)"
rm -rf "$machine"
"$bin/qdwsim" init "$machine" --seed 7 --size "$size"

# The default archive name follows the machine's local date (one hour ahead of UTC).
archive_name="QDWBackup$(LC_ALL=C date -u -d '+60 min' +%y%b%d)"
archive="D:\\Backups\\$archive_name.qdw"

step "Backup to D:\\Backups (archive $archive_name)"
cp -a "$(repo_host)" "$work/at-backup"
run_backup backup 'expect dialog 102\nclick 1\nexpect dialog 105\ntype 1008 D:\\Backups\nclick 1\nclose\n'
ls -l "$machine/drives/D/Backups" | sed 's/^/   /'

step "Damaging the installation: documents deleted, a share removed"
mapfile -t damaged < <(find "$(repo_host)/VARNOLD/QDW" -name '*.pdf' | sort)
for f in "${damaged[@]:0:3}"; do
  echo "   deleted ${f#"$machine"/drives/}"
  rm -f "$f"
done
first_share=$("$bin/qdwsim" show "$machine" | python3 -c \
  'import json,sys; s=json.load(sys.stdin)["shares"].get("shares",[]); print(s[0]["name"] if s else "")')
if [ -n "$first_share" ]; then
  "$bin/qdwsim" share "$machine" remove "$first_share" && echo "   removed share $first_share"
fi

step "Restore from $archive"
run_backup restore "expect dialog 102\nclick 1001\nclick 1\nexpect dialog 105\ntype 1009 ${archive//\\/\\\\}\nclick 1\nexpect message 123\nanswer yes\nclose\n"

step "Comparing the repository with its state at backup time"
# Windows names ignore case, and a restore may give a shared folder its recorded spelling, so
# the trees are compared by lower-case path and content. The database is compared apart: the
# backup clears its documents' "open" flags by design.
if python3 - "$work/at-backup" "$(repo_host)" >"$work/diff.txt" <<'PY'
import hashlib, os, sys
def tree(root):
    out = {}
    for folder, _, files in os.walk(root):
        for name in files:
            path = os.path.join(folder, name)
            rel = os.path.relpath(path, root).lower()
            if not rel.endswith("vndatabase.mdb"):
                out[rel] = hashlib.sha256(open(path, "rb").read()).hexdigest()
    return out
before, after = tree(sys.argv[1]), tree(sys.argv[2])
for rel in sorted(set(before) | set(after)):
    if before.get(rel) != after.get(rel):
        print(("missing " if rel not in after else "extra " if rel not in before else "changed ") + rel)
print(len(before), "files", file=sys.stderr)
sys.exit(1 if before != after else 0)
PY
then
  echo "   identical: every file of the repository is back with the same bytes"
else
  echo "   differences:"
  sed 's/^/   /' "$work/diff.txt" | head -20
  outcome=1
fi
if [ -n "$first_share" ]; then
  if "$bin/qdwsim" show "$machine" | grep -q "\"name\": \"$first_share\""; then
    echo "   share $first_share is back"
  else
    echo "   share $first_share did not come back"
    outcome=1
  fi
fi

step "Where things are"
echo "   archive set:     $machine/drives/D/Backups/"
echo "   operation log:   $machine/drives/C/ProgramData/VARNOLD/Quillon Deskora Backup Tool/BackupLog.txt"
echo "   failure list:    $machine/drives/C/ProgramData/VARNOLD/Quillon Deskora Backup Tool/BackupFailureLog.txt"
log="$machine/drives/C/ProgramData/VARNOLD/Quillon Deskora Backup Tool/BackupLog.txt"
[ -f "$log" ] && sed 's/^/   log: /' "$log"
exit "$outcome"
