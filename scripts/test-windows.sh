#!/usr/bin/env bash
# Cross-builds the Windows files and the Windows test programs with MinGW-w64, then runs the
# tests under Wine in a private prefix. Exits non-zero when a build step or any test fails.
#   scripts/test-windows.sh [build folder]     (default build-win)
# QDW_WINE_KEEP_PREFIX=1 reuses the prefix of an earlier run instead of making a fresh one.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build_dir="${1:-build-win}"
case "$build_dir" in /*) ;; *) build_dir="$root/$build_dir" ;; esac
scripts/install-deps.sh --windows
started=$SECONDS
step() { echo "--- $1 ($((SECONDS - started)) s)"; }

# Some machines refuse 32-bit programs outright (the kernel answers "Exec format error"), so
# Wine has no 32-bit half there. The tests and the dialog runs then use a 64-bit build under
# wine64; the shipped 32-bit files are built too and read on the host, since the test program
# that checks them cannot run. QDW_WINE_ARCH=x64 chooses that on any machine.
wine32=/usr/lib/wine/wine
arch=x86
if [ "${QDW_WINE_ARCH:-}" = x64 ] || ! "$wine32" --version >/dev/null 2>&1; then
  arch=x64
  shipped_dir=$build_dir
  build_dir="$build_dir-x64"
  scripts/install-deps.sh --windows-x64
fi
export QDW_WINE_ARCH=$arch

# What the tests need and the five shipped files; the other language modules are left out.
test_programs=(win32_cabinet_engine_test win32_cabinet_crosscheck_test win32_ports_test
               win32_contract_test)
if [ $arch = x86 ]; then
  test_programs+=(win32_shipped_files_test)
else
  echo "NOT RUN: win32_shipped_files_test (a 32-bit program: $wine32 cannot run here, or" \
    "QDW_WINE_ARCH=x64 chose the 64-bit way); the host reads the shipped files, the other" \
    "tests and the dialog runs use a 64-bit build"
fi
targets=(Backup rightsmend Compressor Extractor lingvault cabinet probe_program hold_file
         "${test_programs[@]}")

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# Configures and builds folder $1 for architecture $2, the targets that follow.
build_tree() {
  local dir=$1 tree_arch=$2
  shift 2
  step "configure $dir ($tree_arch)"
  # -O1: the tests compile markedly faster than at -O2 and still run in seconds.
  cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DQDW_WINDOWS_ARCH="$tree_arch" -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS_RELEASE=-O1 \
    -DCMAKE_CXX_FLAGS_RELEASE=-O1 -DQDW_BUILD_TESTS=ON -DQDW_BUILD_BENCH=OFF "${launcher[@]}" \
    >/dev/null
  step "build"
  cmake --build "$dir" -j "$(nproc)" --target "$@"
}

failed=()
if [ $arch = x64 ]; then
  # The shipped 32-bit files are still built, and the host's objdump checks what the test
  # program would: each is i386, and Backup.exe binds rightsmend's two exports by ordinal.
  build_tree "$shipped_dir" x86 Backup rightsmend Compressor Extractor lingvault cabinet
  step "the shipped files, read on the host"
  shipped_ok=1
  for file in Backup.exe rightsmend.dll Compressor.dll Extractor.dll Lingvault.dll \
    qdwcabinet.dll; do
    i686-w64-mingw32-objdump -f "$shipped_dir/bin/$file" | grep -q 'file format pei-i386' ||
      { echo "not an i386 file: $file"; shipped_ok=0; }
  done
  exports=$(i686-w64-mingw32-objdump -p "$shipped_dir/bin/rightsmend.dll")
  imports=$(i686-w64-mingw32-objdump -p "$shipped_dir/bin/Backup.exe" |
    sed -n '/DLL Name: rightsmend.dll/,/^$/p')
  grep -q 'Ordinal Base 1' <<<"$exports" &&
    grep -q '\[   0\] VNChangeAccessRights$' <<<"$exports" &&
    grep -q '\[   1\] VNChangeAccessRightsFullPath$' <<<"$exports" ||
    { echo "rightsmend.dll does not export its entry points as ordinals 1 and 2"; shipped_ok=0; }
  [ "$(grep -cE '^\s+8000000[12]\s' <<<"$imports")" = 2 ] &&
    [ "$(grep -cE '^\s+[0-9a-f]{8}\s' <<<"$imports")" = 2 ] ||
    { echo "Backup.exe does not import rightsmend by ordinal only"; shipped_ok=0; }
  [ $shipped_ok = 1 ] && echo "the shipped files are i386 and bind rightsmend by ordinal" ||
    failed+=(shipped-files-on-host)
fi
build_tree "$build_dir" "$arch" "${targets[@]}"

step "Wine prefix"
# The files are 32-bit; a 64-bit prefix runs them as 64-bit Windows runs a 32-bit program (its
# own registry view and program folder), which is where the product's machine keys live.
# shellcheck source=wine-product.sh
. scripts/wine-product.sh  # the Wine of QDW_WINE_ARCH's width
wine=$wine_cmd
wineserver=$wine_server
export WINEPREFIX="$build_dir/wine-prefix" WINEARCH=win64 WINEDEBUG=-all \
  WINEDLLOVERRIDES="mscoree,mshtml="
[ "${QDW_WINE_KEEP_PREFIX:-0}" = 1 ] || rm -rf "$WINEPREFIX"
xvfb_pid=""
keeper_pid=""
cleanup() {
  # With a display the interpreter runs in a console of its own and never sees the pipe close,
  # so the keeper is ended here and the prefix's server takes the rest down.
  if [ -n "$keeper_pid" ]; then
    exec 3>&-
    kill "$keeper_pid" 2>/dev/null || true
    rm -f "$keeper_pipe"
  fi
  "$wineserver" -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
# A display of its own for whatever opens a window (the dialogs); none is shown.
if [ -z "${DISPLAY:-}" ] && command -v Xvfb >/dev/null; then
  display=":$((90 + RANDOM % 400))"
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY="$display"
fi
"$wine" wineboot -i >"$build_dir/wineboot.log" 2>&1 || { tail -20 "$build_dir/wineboot.log"; exit 1; }
# A new prefix finishes its set-up after wineboot returns; services started meanwhile time out.
"$wineserver" -w
# Services the tests start live only while some Wine process does: a command interpreter that
# waits on a pipe outlives them all and ends when the pipe is closed at exit.
keeper_pipe="$build_dir/wine-keeper.fifo"
rm -f "$keeper_pipe"
mkfifo "$keeper_pipe"
"$wine" cmd <"$keeper_pipe" >/dev/null 2>&1 &
keeper_pid=$!
exec 3>"$keeper_pipe"

# Runs one Windows program of the build's bin folder under Wine with its arguments.
wine_test() {
  local name=$1
  shift
  echo "=== $name"
  if ! (cd "$build_dir/bin" && "$wine" "./$name.exe" "$@"); then failed+=("$name"); fi
}

step "tests under Wine"
# The test commands; add new ones here.
for program in "${test_programs[@]}"; do wine_test "$program" --gtest_brief=1; done
# Backup.exe played through the dialog driver on a product installation made in this prefix.
echo "=== dialog runs"
scripts/test-windows-dialogs.sh "$build_dir/bin" || failed+=(test-windows-dialogs)

step "done"
if [ ${#failed[@]} -gt 0 ]; then
  echo "Windows tests failed: ${failed[*]}"
  exit 1
fi
echo "Windows tests passed ($arch)"
