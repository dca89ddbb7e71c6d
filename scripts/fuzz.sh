#!/usr/bin/env bash
# Builds the translator's libFuzzer target with clang in build-fuzz and runs it for a bounded
# time (seconds, default 60) on a corpus seeded with the system's statements. Exits non-zero when
# the fuzzer finds a crash.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
build=build-fuzz
if [ ! -f "$build/build.ninja" ]; then
  CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTIPDESK_FUZZ=ON -DTIPDESK_TESTS=OFF >/dev/null
fi
cmake --build "$build" --target fuzz-translator
corpus="$build/fuzz-corpus"
mkdir -p "$corpus"
# One seed per statement of the system (those of the forms and those of the report layouts), the
# functions over parameters and extreme rows, and date/mask pairs.
awk -v dir="$corpus" '/^-- @ /{n++; next} /^--/{next} n{print > (dir "/stmt" n ".sql")}' tests/db/statements.sql
for layout in src/reports/*/*.json; do
  awk -v out="$corpus/$(basename "$layout" .json)" '
    /"SQL": \[/ { n++; file = out n ".sql"; printf "" > file; inside = 1; next }
    inside && /^[ \t]*\]/ { close(file); inside = 0; next }
    inside {
      line = $0
      sub(/^[ \t]*"/, "", line); sub(/",?[ \t]*$/, "", line)
      gsub(/\\"/, "\"", line); gsub(/\\\\/, "\\", line)
      print line > file
    }' "$layout"
done
cp tools/fuzz-translator/seeds/*.sql "$corpus/"
printf '%s' '20040107|YYYYMMDD' >"$corpus/date1"
printf '%s' '2004-01-07 09:05|YYYY-MM-DD HH24:MI' >"$corpus/date2"
"$build/tools/fuzz-translator/fuzz-translator" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
  -dict=tools/fuzz-translator/oracle.dict -artifact_prefix="$build/" "$corpus"
