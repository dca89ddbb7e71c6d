#!/usr/bin/env bash
# The program's main job, once built: the desktop program on the embedded demo database, or,
# on a machine without a display, the batch job.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${TIPDESK_BUILD_DIR:-build}"
program="$build/src/main/tipdesk"
# tipdesk.db beside the development executable: the program prefers one that is there to the one
# in the user's data folder, so the demo database stays inside the build tree.
database="$build/src/main/tipdesk.db"
demo_db_tool="$build/tools/tipdesk-demo-db/tipdesk-demo-db"

if [ ! -f "$database" ]; then
  if [ -x "$demo_db_tool" ]; then
    echo "Creating the demo database $database ..."
    # Built beside and moved into place, so that an interrupted run leaves no half-built file.
    rm -f "$database.part"
    "$demo_db_tool" --out "$database.part"
    mv "$database.part" "$database"
  else
    echo "No demo database and no $demo_db_tool to build one." >&2
  fi
fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  if [ ! -x "$program" ]; then
    echo "$program was not built." >&2
    exit 1
  fi
  echo "Starting $program on $database"
  echo "Demo login: operator ID \"demo\", password \"demo\""
  exec "$program"
fi

echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): running the batch job instead."
if [ -x scripts/run-batch.sh ]; then
  exec scripts/run-batch.sh
fi
echo "The batch job is not available yet."
exit 0
