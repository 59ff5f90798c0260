#!/usr/bin/env bash
# Renders every dialog of Backup.exe under Wine's virtual desktop on an Xvfb display and
# writes one PNG per dialog to docs/screenshots/. The dialog driver opens each dialog; the
# script's `wait` leaves it on the screen while it is captured, and its `hold` keeps a backup
# under way there.
#   scripts/screenshots.sh [Windows build folder]   (default build-win; built when missing)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build_dir="${1:-build-win}"
[ -f "$build_dir/bin/Backup.exe" ] || scripts/build-windows.sh "$build_dir"
# The program that holds a document open for the custom message box's shot.
[ -f "$build_dir/bin/hold_file.exe" ] || cmake --build "$build_dir" --target hold_file
bin=$(cd "$build_dir/bin" && pwd)
out=$root/docs/screenshots
mkdir -p "$out"
# shellcheck source=wine-product.sh
. scripts/wine-product.sh

work=$(mktemp -d)
trap 'wine_prefix_stop; rm -rf "$work"' EXIT
unset DISPLAY
wine_prefix_start "$work/prefix"
wine_product_install "$bin"
desktop_width=800
desktop_height=600

mkdir -p "$(dirname "$log_file")"
printf '%s\r\n' '1,1,C:\Backups\QDWBackup26Nov30.qdw,2026/11/30 08:05' \
  '1,1,C:\Backups\QDWBackup26Dec01.qdw,2026/12/01 12:15' \
  '3,1,C:\Backups\QDWBackup26Dec01.qdw,2026/12/02 00:40' \
  '1,0,E:\QDWBackup26Dec03.qdw,2026/12/03 17:22' \
  '1,1,C:\Backups\QDWBackup26Dec04.qdw,2026/12/04 09:10' >"$log_file"
head -c 4096 /dev/urandom >"$drive_c/Backups/QDWBackup26Dec01.qdw"
# Scanned pages enough for a backup to be caught half way through its copy.
scans="$repository/VARNOLD/QDW/Quillon Deskora/Cabinet 1/Scans"
mkdir -p "$scans"
for page in $(seq 1 24); do head -c 262144 /dev/urandom >"$scans/Page$page.tif"; done
# A document in the repository that another program holds open during one shot.
printf '%%PDF-1.4\n' >"$repository/VARNOLD/QDW/Quillon Deskora/Cabinet 1/Contracts/Held.pdf"

# shot NAME SCRIPT: plays SCRIPT (which ends in a long wait or hold) and captures the dialog on
# the screen once the wait or hold has begun.
shot() {
  local name=$1 script=$2
  printf '%b' "$script" >"$wine_work/$name.script"
  rm -f "$wine_work/$name.txt"
  QDW_UI_SCRIPT="C:\\QDWRuns\\$name.script" QDW_UI_TRANSCRIPT="C:\\QDWRuns\\$name.txt" \
    "$wine_cmd" explorer "/desktop=shots,${desktop_width}x${desktop_height}" \
    'C:\Program Files (x86)\VARNOLD\Quillon Deskora Backup Tool\Backup.exe' >/dev/null 2>&1 &
  local run=$!
  local tries=0
  until grep -q '^> \(wait\|hold\) ' "$wine_work/$name.txt" 2>/dev/null; do
    tries=$((tries + 1))
    if [ "$tries" -gt 300 ] || ! kill -0 "$run" 2>/dev/null; then
      echo "$name: the dialog did not come up" >&2
      cat "$wine_work/$name.txt" >&2 || true
      return 1
    fi
    sleep 0.2
  done
  sleep 1.5  # the animation and the last paint
  # The virtual desktop, then only what differs from its background: the dialog.
  import -window root -crop "${desktop_width}x${desktop_height}+0+0" +repage "$work/$name.png"
  convert "$work/$name.png" -trim +repage -bordercolor white -border 0 "$out/$name.png"
  "$wine_server" -k 2>/dev/null || true
  wait "$run" 2>/dev/null || true
  echo "docs/screenshots/$name.png"
}

hold='wait 120000\n'
shot choice "expect dialog 102\n$hold"
shot about "expect dialog 102\nsysmenu 16\nexpect dialog 100\n$hold"
shot backup "click 1\nexpect dialog 105\ntype 1008 C:\\\\Backups\n$hold"
shot restore "click 1001\nclick 1\nexpect dialog 105\ntype 1009 C:\\\\Backups\\\\QDWBackup26Dec01.qdw\n$hold"
shot log-viewer "click 1003\nexpect dialog 104\nselect 1006 2\n$hold"
shot temporary-folder "click 1001\nclick 1\ntype 1009 C:\\\\Backups\\\\QDWBackup26Dec01.qdw\nclick 1\nanswer yes\nexpect dialog 106\ntype 1027 D:\\\\Temp\n$hold"
# Another program holds the PDF open (without sharing) until the shot ends.
wine_hold_open "$bin" 'C:\QDWData\Repository\VARNOLD\QDW\Quillon Deskora\Cabinet 1\Contracts\Held.pdf'
shot custom-message-box "click 1\nexpect dialog 105\ntype 1008 C:\\\\Backups\nclick 1\nexpect dialog 9003\n$hold"
wine_hold_release
shot finished-run "click 1001\nclick 1\ntype 1009 C:\\\\Backups\\\\QDWBackup26Dec01.qdw\nclick 1\nanswer yes\nexpect dialog 106\nclick 2\nexpect shown 1033\n$hold"
# Last: the run held half way is never finished, and what it leaves behind goes with the prefix.
shot backup-under-way "click 1\nexpect dialog 105\ntype 1008 C:\\\\Backups\nclick 1\nhold 1038 40 120000\n"

