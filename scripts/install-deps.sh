#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the demo need (idempotent).
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  zlib1g-dev libssl-dev libgtest-dev libgmock-dev googletest libbenchmark-dev nlohmann-json3-dev
  unixodbc unixodbc-dev libsqliteodbc sqlite3 libsqlite3-dev
  cabextract gcab pigz python3 binutils-mingw-w64-i686
)
# The Windows cross-build and its tests under Wine: --windows installs only these,
# --with-windows both lists. The files are 32-bit: the i686 compilers, and Wine with its 32-bit
# half (a 64-bit prefix runs them as 64-bit Windows runs a 32-bit program).
windows_packages=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-tools
                  libz-mingw-w64-dev wine wine64 wine32:i386 xvfb googletest)
# The dialog runs and screenshots under Wine: Wine's own fonts (caption buttons), imagemagick.
windows_packages+=(fonts-wine imagemagick)
# The product database of the dialog runs: an SQLite file that Wine's 32-bit odbc32 reaches
# through the host's 32-bit unixODBC library and SQLite ODBC driver.
windows_packages+=(unixodbc libodbc2:i386 libsqliteodbc:i386 sqlite3 cabextract)
# Where 32-bit programs cannot run, the port's tests are built 64-bit (scripts/test-windows.sh).
windows_x64_packages=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64)
case "${1:-}" in
  --windows) packages=("${windows_packages[@]}") ;;
  --windows-x64) packages=("${windows_x64_packages[@]}") ;;
  --with-windows) packages+=("${windows_packages[@]}") ;;
esac
needs_i386=0
for p in "${packages[@]}"; do [[ $p == *:i386 ]] && needs_i386=1; done
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
update_needed=0
if [ $needs_i386 = 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  update_needed=1
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ] || [ $update_needed = 1 ]; then
  # A mirror caught mid-sync fails one index of many; the install below still finds its packages
  # in the rest, and fails on its own if it does not.
  $SUDO apt-get update -qq ||
    { sleep 5; $SUDO apt-get update -qq; } ||
    echo "install-deps: apt-get update failed; installing from the package lists there are" >&2
fi
if [ ${#missing[@]} -gt 0 ]; then
  # When the mirror lost the 32-bit index of the security suite, apt picks the 64-bit twins of the
  # 32-bit halves from that suite, newer than any half it can find, and the two must match. The
  # release's own suite has both at one version.
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" || {
    release=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
    echo "install-deps: the install failed; trying again from the $release suite first" >&2
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq -t "$release" "${missing[@]}"
  }
fi
