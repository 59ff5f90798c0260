#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the demo need (idempotent).
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  zlib1g-dev libssl-dev libgtest-dev libgmock-dev googletest libbenchmark-dev nlohmann-json3-dev
  unixodbc unixodbc-dev libsqliteodbc sqlite3 libsqlite3-dev
  cabextract gcab pigz python3 binutils-mingw-w64-x86-64
)
# The Windows cross-build and its tests under Wine: --windows installs only these,
# --with-windows both lists.
windows_packages=(g++-mingw-w64-x86-64 mingw-w64-tools libz-mingw-w64-dev wine64 xvfb googletest)
# The dialog runs and screenshots under Wine: Wine's own fonts (caption buttons), imagemagick.
windows_packages+=(fonts-wine imagemagick)
# The product database of the dialog runs: an SQLite file that Wine's odbc32 reaches through
# the host's unixODBC and SQLite ODBC driver.
windows_packages+=(unixodbc libsqliteodbc sqlite3 cabextract)
case "${1:-}" in
  --windows) packages=("${windows_packages[@]}") ;;
  --with-windows) packages+=("${windows_packages[@]}") ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
