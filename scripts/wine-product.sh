# Sourced by the scripts that run Backup.exe under Wine: a private prefix on a display of its
# own, a product installation made of registry values (imported with `regedit /S`) and real
# files, and scripted runs of Backup.exe through the dialog driver.
#   wine_prefix_start FOLDER     makes the prefix (and an Xvfb display when none is set)
#   wine_product_install BIN     copies the program from BIN, sets up the product
#   wine_backup_run NAME SCRIPT [wine arguments before the program]
#                                runs Backup.exe with SCRIPT (printf %b text); the transcript
#                                is $wine_work/NAME.txt, the status in $run_status

wine_cmd=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
wine_server=$(command -v wineserver || echo /usr/lib/wine/wineserver)
wine_xvfb_pid=""

wine_prefix_stop() {
  "$wine_server" -k 2>/dev/null || true
  [ -n "$wine_xvfb_pid" ] && kill "$wine_xvfb_pid" 2>/dev/null || true
  wine_xvfb_pid=""
}

wine_prefix_start() {
  export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ -z "${DISPLAY:-}" ]; then
    local display=":$((90 + RANDOM % 400))"
    Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    wine_xvfb_pid=$!
    export DISPLAY=$display
    sleep 1
  fi
  "$wine_cmd" wineboot -i >/dev/null 2>&1
  drive_c=$WINEPREFIX/drive_c
  # Wine's own fonts (Tahoma for the dialogs, Marlett for the caption buttons) are looked for
  # in the prefix's font folder.
  if [ -d /usr/share/wine/fonts ]; then
    cp -n /usr/share/wine/fonts/*.ttf "$drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  wine_work=$drive_c/QDWRuns
  mkdir -p "$wine_work"
}

# The product as Backup.exe finds it: its registry values, the repository with documents, the
# index and the database file, and a destination for archives. Wine has no Access ODBC driver,
# so the database file cannot be opened there.
wine_product_install() {
  local bin=$1
  tool="$drive_c/Program Files/VARNOLD/Quillon Deskora Backup Tool"
  repository="$drive_c/QDWData/Repository"
  mkdir -p "$tool" "$repository/VARNOLD/QDW/DataBase" \
    "$repository/VARNOLD/QDW/Quillon Deskora/Cabinet 1/Contracts" \
    "$repository/VARNOLD/QDWie/Index" "$drive_c/Backups" "$drive_c/QDWData/Common"
  cp "$bin"/Backup.exe "$bin"/rightsmend.dll "$bin"/Compressor.dll "$bin"/Extractor.dll \
    "$bin"/Lingvault.dll "$tool/"
  printf 'Contract of 2026\r\n' >"$repository/VARNOLD/QDW/Quillon Deskora/Cabinet 1/Contracts/Lease.txt"
  printf 'Minutes\r\n' >"$repository/VARNOLD/QDW/Quillon Deskora/Cabinet 1/Minutes.txt"
  printf 'index\r\n' >"$repository/VARNOLD/QDWie/Index/words.dat"
  printf 'Standard Jet DB\0' >"$repository/VARNOLD/QDW/DataBase/VNDATABASE.mdb"
  cat >"$wine_work/product.reg" <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\SOFTWARE\VARNOLD\Quillon Deskora]
"Display_Version"="2.5.1"
"Product_Type"="2"

[HKEY_LOCAL_MACHINE\SOFTWARE\VARNOLD\Quillon Deskora\QDW\User Settings\Common]
"Repository Path"="C:\\QDWData\\Common"

[HKEY_CURRENT_USER\SOFTWARE\VARNOLD\Quillon Deskora\QDW]
"Repository Path"="C:\\QDWData\\Repository"
REG
  sed -i 's/$/\r/' "$wine_work/product.reg"
  "$wine_cmd" regedit /S 'C:\QDWRuns\product.reg'
  log_file="$drive_c/ProgramData/VARNOLD/Quillon Deskora Backup Tool/BackupLog.txt"
}

wine_backup_run() {
  local name=$1 script=$2
  shift 2
  printf '%b' "$script" >"$wine_work/$name.script"
  rm -f "$wine_work/$name.txt"
  run_status=0
  QDW_UI_SCRIPT="C:\\QDWRuns\\$name.script" QDW_UI_TRANSCRIPT="C:\\QDWRuns\\$name.txt" \
    timeout 300 "$wine_cmd" "$@" 'C:\Program Files\VARNOLD\Quillon Deskora Backup Tool\Backup.exe' \
    >"$wine_work/$name.err" 2>&1 || run_status=$?
}
