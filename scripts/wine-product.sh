# Sourced by the scripts that run Backup.exe under Wine: a private prefix on a display of its
# own, a product installation made of registry values (imported with `reg import`) and real
# files, and scripted runs of Backup.exe through the dialog driver.
#   wine_prefix_start FOLDER     makes the prefix (and an Xvfb display when none is set)
#   wine_product_install BIN     copies the program from BIN, sets up the product (needs the
#                                host's sqlite3 and SQLite ODBC driver for the database)
#   wine_hold_open BIN PATH      another program (BIN/hold_file.exe) holds the Windows PATH open
#                                without sharing until wine_hold_release; fails when it cannot
#   wine_backup_run NAME SCRIPT [wine arguments before the program]
#                                runs Backup.exe with SCRIPT (printf %b text); the transcript
#                                is $wine_work/NAME.txt, the status in $run_status

# The program is 32-bit: `wine` runs it in the prefix's 32-bit half; the prefix is 64-bit.
# Where Wine has no 32-bit half, QDW_WINE_ARCH=x64 runs a 64-bit build under wine64; its port
# names the registry's 32-bit view itself, so it finds the product's keys in the same place.
wine64_cmd=$(command -v wine64 || echo /usr/lib/wine/wine64)
wine_arch=${QDW_WINE_ARCH:-x86}
if [ "$wine_arch" = x64 ]; then
  wine_cmd=$wine64_cmd
else
  wine_cmd=$(command -v wine || echo /usr/lib/wine/wine)
fi
# The registry tools on the registry's 32-bit view, where the program keeps the product's keys,
# and on the 64-bit view.
wine_reg32() {
  if [ "$wine_arch" = x64 ]; then
    "$wine_cmd" reg "$@" /reg:32
  else
    "$wine_cmd" 'C:\windows\syswow64\reg.exe' "$@"
  fi
}
wine_reg64() { "$wine64_cmd" reg "$@" /reg:64; }
wine_server=$(command -v wineserver || echo /usr/lib/wine/wineserver)
wine_xvfb_pid=""
wine_scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

wine_prefix_stop() {
  "$wine_server" -k 2>/dev/null || true
  [ -n "$wine_xvfb_pid" ] && kill "$wine_xvfb_pid" 2>/dev/null || true
  wine_xvfb_pid=""
}

wine_prefix_start() {
  export WINEPREFIX=$1 WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
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
# index and the database, and a destination for archives.
wine_product_install() {
  local bin=$1
  # A 32-bit program lies in the x86 program folder.
  tool="$drive_c/Program Files (x86)/VARNOLD/Quillon Deskora Backup Tool"
  repository="$drive_c/QDWData/Repository"
  # A kept prefix (QDW_WINE_KEEP_PREFIX=1) starts from the same installation as a new one.
  rm -rf "$drive_c/QDWData" "$drive_c/Backups"
  mkdir -p "$tool" "$repository/VARNOLD/QDW/DataBase" \
    "$repository/VARNOLD/QDW/Quillon Deskora/Cabinet 1/Contracts" \
    "$repository/VARNOLD/QDWie/Index" "$drive_c/Backups" "$drive_c/QDWData/Common"
  cp "$bin"/Backup.exe "$bin"/rightsmend.dll "$bin"/Compressor.dll "$bin"/Extractor.dll \
    "$bin"/Lingvault.dll "$tool/"
  # Our cabinet engine, for runs that choose it with QDW_CABINET_LIBRARY.
  if [ -f "$bin/qdwcabinet.dll" ]; then cp "$bin/qdwcabinet.dll" "$tool/"; fi
  printf 'Contract of 2026\r\n' >"$repository/VARNOLD/QDW/Quillon Deskora/Cabinet 1/Contracts/Lease.txt"
  printf '%%PDF-1.4\n' >"$repository/VARNOLD/QDW/Quillon Deskora/Cabinet 1/Contracts/Lease.pdf"
  printf 'Minutes\r\n' >"$repository/VARNOLD/QDW/Quillon Deskora/Cabinet 1/Minutes.txt"
  printf 'index\r\n' >"$repository/VARNOLD/QDWie/Index/words.dat"
  mkdir -p "$repository/VARNOLD/QDW/Settings"
  printf 'icon' >"$repository/VARNOLD/QDW/Settings/Printer.ico"
  database="$repository/VARNOLD/QDW/DataBase/VNDATABASE.mdb"
  wine_product_database "$database"
  cat >"$wine_work/product.reg" <<'REG'
REGEDIT4

[-HKEY_LOCAL_MACHINE\SOFTWARE\VARNOLD]
[-HKEY_CURRENT_USER\SOFTWARE\VARNOLD]

[HKEY_LOCAL_MACHINE\SOFTWARE\VARNOLD\Quillon Deskora]
"Display_Version"="2.5.1"
"Product_Type"="2"

[HKEY_LOCAL_MACHINE\SOFTWARE\VARNOLD\Quillon Deskora\QDW\User Settings\Common]
"Repository Path"="C:\\QDWData\\Common"

[HKEY_CURRENT_USER\SOFTWARE\VARNOLD\Quillon Deskora\QDW]
"Repository Path"="C:\\QDWData\\Repository"
REG
  sed -i 's/$/\r/' "$wine_work/product.reg"
  # Into the 32-bit view, where a 32-bit product keeps its machine keys on 64-bit Windows.
  wine_reg32 import 'C:\QDWRuns\product.reg' >/dev/null 2>&1
  log_file="$drive_c/ProgramData/VARNOLD/Quillon Deskora Backup Tool/BackupLog.txt"
}

# Wine's odbc32 hands ODBC calls to the host's unixODBC, and the Windows port gives the host's
# driver the database's host path (platform/win32/win32_databases.cc). A private driver list
# names the host's SQLite ODBC driver after the Access driver the program asks for, so the
# database is an SQLite file with the product's tables: documents (two flagged open) and
# printers whose icons the restore repairs.
wine_product_database() {
  local file=$1 driver="" candidate
  # The host's driver of the program's own width, as Wine's odbc32 loads it.
  local multiarch=i386-linux-gnu
  [ "$wine_arch" = x64 ] && multiarch=x86_64-linux-gnu
  for candidate in /usr/lib/$multiarch/odbc/libsqlite3odbc.so /usr/lib/odbc/libsqlite3odbc.so; do
    if [ -f "$candidate" ]; then driver=$candidate && break; fi
  done
  if [ -z "$driver" ] || ! command -v sqlite3 >/dev/null; then
    echo "wine-product.sh: needs sqlite3 and the SQLite ODBC driver (libsqliteodbc)" >&2
    return 1
  fi
  export ODBCSYSINI=$wine_work/odbc ODBCINSTINI=odbcinst.ini
  mkdir -p "$ODBCSYSINI"
  printf '[MICROSOFT ACCESS DRIVER (*.mdb)]\nDescription=SQLite in place of the Access driver\nDriver=%s\n' \
    "$driver" >"$ODBCSYSINI/odbcinst.ini"
  : >"$ODBCSYSINI/odbc.ini"
  rm -f "$file"
  {
    cat "$wine_scripts/../database/schema.sql"
    cat <<'SQL'
INSERT INTO qln_folder (id, parent_folder__id, name, path) VALUES
  (1, 0, 'Cabinet 1', 'Cabinet 1'), (2, 1, 'Contracts', 'Cabinet 1\Contracts');
INSERT INTO qln_file_properties (id, folder__id, pdf_name, original_file_name,
  original_file_extension, is_open, total_versions) VALUES
  (1, 2, 'Lease', 'Lease', 'txt', 1, 0), (2, 1, 'Minutes', 'Minutes', 'txt', 0, 0),
  (3, 1, 'Budget', 'Budget', 'xls', 1, 0);
INSERT INTO qln_merged_files (qln_file_properties__id, folder__id, original_file_name,
  original_file_extension, is_open) VALUES (3, 1, 'Budget', 'xls', 1);
INSERT INTO qln_printer (ID, Icon_Path) VALUES
  (1, 'C:\Old\Settings\Printer.ico=0'), (2, 'C:\Old\Settings\Gone.ico=0');
SQL
  } | sqlite3 "$file"
}

wine_holder_pid=""
wine_hold_open() {
  local out
  out=$(mktemp)
  "$wine_cmd" "$1/hold_file.exe" "$2" 300 >"$out" 2>&1 &
  wine_holder_pid=$!
  for _ in $(seq 300); do
    grep -q '^holding' "$out" && { rm -f "$out"; return 0; }
    kill -0 "$wine_holder_pid" 2>/dev/null || break
    sleep 0.2
  done
  cat "$out" >&2
  rm -f "$out"
  return 1
}

wine_hold_release() {
  [ -n "$wine_holder_pid" ] || return 0
  kill "$wine_holder_pid" 2>/dev/null || true
  wait "$wine_holder_pid" 2>/dev/null || true
  wine_holder_pid=""
}

wine_backup_run() {
  local name=$1 script=$2
  shift 2
  printf '%b' "$script" >"$wine_work/$name.script"
  local attempt
  # A program that wrote no transcript line never reached its first dialog; under a loaded
  # Wine that has happened once in many runs, so such a start is tried once more, and said so.
  for attempt in 1 2; do
    rm -f "$wine_work/$name.txt"
    run_status=0
    QDW_UI_SCRIPT="C:\\QDWRuns\\$name.script" QDW_UI_TRANSCRIPT="C:\\QDWRuns\\$name.txt" \
      timeout 300 "$wine_cmd" "$@" 'C:\Program Files (x86)\VARNOLD\Quillon Deskora Backup Tool\Backup.exe' \
      >"$wine_work/$name.err" 2>&1 || run_status=$?
    [ -s "$wine_work/$name.txt" ] && return 0
    echo "note: $name (attempt $attempt) ended with status $run_status and no transcript" >&2
  done
}
