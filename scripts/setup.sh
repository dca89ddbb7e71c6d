#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks, then configures and builds.
# Usage: scripts/setup.sh [--for run|test] BUILD_DIR [extra cmake arguments...] [-- TARGET...]
#        scripts/setup.sh --print-packages run|test
# "run" installs what building and running the program and its tools needs; "test" (the default)
# adds what the tests need. With targets, only those (and what they need) are built; without,
# everything, tests included. CMake runs again whenever the arguments differ from its cache.
set -euo pipefail
cd "$(dirname "$0")/.."

run_packages=(cmake ninja-build g++ ccache pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-odbc libqt6sql6-psql libpq-dev
  libsqlite3-dev libicu-dev libxlsxwriter-dev
  fonts-nanum fonts-nanum-coding fonts-liberation2 qt6-translations-l10n)
# The throwaway PostgreSQL servers, the offscreen-display and PDF checks, the sanitizers' and
# fuzzer's runtime, formatting, and the Debian package's tools.
test_packages=("${run_packages[@]}" sqlite3 postgresql poppler-utils xvfb xauth
  clang-14 clang-format libclang-rt-14-dev
  dpkg-dev lintian desktop-file-utils help2man unzip)

purpose=test
case "${1:-}" in
--print-packages)
  case "${2:-}" in
  run) echo "${run_packages[*]}" ;;
  test) echo "${test_packages[*]}" ;;
  *) echo "usage: $0 --print-packages run|test" >&2; exit 2 ;;
  esac
  exit 0 ;;
--for)
  purpose="${2:-}"
  [ "$purpose" = run ] || [ "$purpose" = test ] || { echo "usage: $0 --for run|test BUILD_DIR ..." >&2; exit 2; }
  shift 2 ;;
esac
if [ "$purpose" = run ]; then packages=("${run_packages[@]}"); else packages=("${test_packages[@]}"); fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  # apt's own progress on a terminal; a line per phase in a log. The frontend setting goes
  # through sudo, which would otherwise drop it from the environment.
  quiet=(-qq)
  out=/dev/null
  [ -t 1 ] && quiet=() && out=/dev/stdout
  echo "패키지 목록을 읽는 중… (apt-get update)"
  $SUDO apt-get update "${quiet[@]}"
  echo "${#missing[@]}개 패키지 설치 중… (${missing[*]})"
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y "${quiet[@]}" --no-install-recommends "${missing[@]}" >"$out"
  echo "패키지 설치를 마쳤습니다."
fi

# The tests' throwaway PostgreSQL servers refuse to run as root; a root suite runs them as this user.
if [ "$purpose" = test ] && [ "$(id -u)" -eq 0 ] && ! id tipdesk-pg >/dev/null 2>&1; then
  echo "테스트용 PostgreSQL 서버를 실행할 시스템 사용자 tipdesk-pg를 만듭니다."
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
# Configures when there is no build yet or when an argument asks for a value the cache does not
# hold (CI=true ./test after ./run turns warnings into errors).
configured() {
  local cache="$build/CMakeCache.txt" arg name value
  [ -f "$build/build.ninja" ] && [ -f "$cache" ] || return 1
  for arg in "${cmake_args[@]}"; do
    case "$arg" in
    -D*=*)
      name="${arg#-D}"; value="${name#*=}"; name="${name%%=*}"; name="${name%%:*}"
      grep -qxF -- "$name:$(grep -m1 -o "^$name:[A-Z]*" "$cache" | cut -d: -f2)=$value" "$cache" || return 1 ;;
    esac
  done
}
if ! configured; then
  cmake -S . -B "$build" -G Ninja "${cmake_args[@]}"
fi
if [ ${#targets[@]} -gt 0 ]; then
  cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"
else
  cmake --build "$build" -j "$(nproc)"
fi
