#!/usr/bin/env bash
# The batch job: every report kind, rendered from the demo database into out/ as
# PDF — for the latest day of the database, and where a kind takes a period also for the month
# up to that day and for the whole range. Prints the paths it wrote.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${TIPDESK_BUILD_DIR:-build}"
tool="$build/tools/tipdesk-report/tipdesk-report"
sql="$build/tools/tipdesk-sql/tipdesk-sql"
database="$build/src/main/tipdesk.db"
out=out

for f in "$tool" "$sql"; do
  if [ ! -x "$f" ]; then
    echo "$f was not built." >&2
    exit 1
  fi
done
if [ ! -f "$database" ]; then
  echo "No database $database." >&2
  exit 1
fi

value() { "$sql" --database "$database" "$1" | sed -n 2p; }
last=$(value "select max(stat_day) from stat_hub")
first=$(value "select min(stat_day) from stat_hub")
if [ -z "$last" ]; then
  echo "$database holds no daily statistics." >&2
  exit 1
fi
# Statistics of a day are made once it is over (tipdesk-aggregate, nightly): say which day the
# reports are for, and why it is not today.
last_shown="${last:0:4}-${last:4:2}-${last:6:2}"
today=$(date +%Y%m%d)
if [ "$last" = "$today" ]; then
  echo "The last day with statistics: $last_shown (today)."
elif [ "$last" = "$(date -d yesterday +%Y%m%d)" ]; then
  echo "The last day with statistics: $last_shown (today's statistics do not exist yet)."
else
  echo "The last day with statistics: $last_shown (no statistics were made for the days after it)."
fi
month_first="${last:0:6}01"
mkdir -p "$out"

# render KIND START END: the tool prints what it wrote; no data or a failure is reported and
# the job goes on with the next report.
render() {
  local file="$out/kind$(printf %02d "$1")-$2-$3.pdf"
  local status=0
  "$tool" --kind "$1" --start "$2" --end "$3" --database "$database" --pdf "$file" || status=$?
  [ "$status" -eq 0 ] || echo "kind $1 $2..$3: not written (exit $status)" >&2
}

echo "Reports of $database (days $first..$last) into $out/:"
"$tool" --list | while read -r kind inputs form; do
  render "$kind" "$last" "$last"
  if [ "$inputs" = SE ]; then
    [ "$month_first" = "$last" ] || render "$kind" "$month_first" "$last"
    [ "$first" = "$month_first" ] || render "$kind" "$first" "$last"
  fi
done
