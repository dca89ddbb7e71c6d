#!/usr/bin/env bash
# Redraws the README's pictures with the program's own tools: the login, the main menu, the
# reception status browser, the statistics console and its preview, and the first page of a
# summary, a register and a ledger,
# all from a demo database with fixed data (60 days ending 2026-12-08).
# Usage: scripts/make-pictures.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
out=docs/screenshots
cmake --build "$build" -j "$(nproc)" --target tipdesk-screenshots tipdesk-report tipdesk-demo-db tst_acin

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$build/tools/tipdesk-demo-db/tipdesk-demo-db" --out "$work/demo.db" --until 20261208 --days 60 >/dev/null

export QT_QPA_PLATFORM=offscreen
"$build/src/main/tipdesk-screenshots" "$out" --database "$work/demo.db" --day 20261207
# The browser's picture is drawn by its test, on the test's own fixture.
TIPDESK_SCREENSHOT_DIR="$out" "$build/tests/reception/tst_acin" screenshot >/dev/null
echo "wrote $out/browser.png"

# kind start picture: 0 the correspondents' summary, 16 the day's register, 14 the month's ledger
while read -r kind start name; do
  "$build/tools/tipdesk-report/tipdesk-report" --kind "$kind" --start "$start" --database "$work/demo.db" \
    --png "$work/pages" >/dev/null
  cp "$work/pages/kind$(printf '%02d' "$kind")-$start-p1.png" "$out/$name.png"
  echo "wrote $out/$name.png"
done <<'LIST'
0 20261207 summary
16 20261207 register
14 20261101 ledger
LIST
