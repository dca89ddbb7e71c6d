#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks, then configures and builds.
# Usage: scripts/setup.sh BUILD_DIR [extra cmake arguments...] [-- TARGET...]
# With targets, only those (and what they need) are built; without, everything, tests included.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ ccache pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-odbc
  libsqlite3-dev sqlite3 libicu-dev libxlsxwriter-dev
  postgresql libqt6sql6-psql libpq-dev
  fonts-nanum fonts-nanum-coding fonts-liberation2 qt6-translations-l10n poppler-utils
  clang-14 clang-format libclang-rt-14-dev xvfb xauth
  dpkg-dev lintian desktop-file-utils help2man)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The tests' throwaway PostgreSQL servers refuse to run as root; a root suite runs them as this user.
if [ "$(id -u)" -eq 0 ] && ! id tipdesk-pg >/dev/null 2>&1; then
  useradd --system --no-create-home --shell /usr/sbin/nologin tipdesk-pg
fi

build="$1"; shift
cmake_args=()
targets=()
while [ $# -gt 0 ]; do
  if [ "$1" = "--" ]; then
    shift
    targets=("$@")
    break
  fi
  cmake_args+=("$1")
  shift
done
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/tipdesk-ccache}"
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(pwd)}" # cache hits across clones in other folders
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja "${cmake_args[@]}"
fi
if [ ${#targets[@]} -gt 0 ]; then
  cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"
else
  cmake --build "$build" -j "$(nproc)"
fi
