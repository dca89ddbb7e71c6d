#!/usr/bin/env bash
# Makes the Debian package from a build folder and checks it as a desk would get it: lintian
# finds no error, the desktop entry is valid, the package holds the five programs with a manual
# page each, the statistics job's service and timer (valid units, not enabled), and the programs unpacked into a temporary folder (never installed on this machine)
# list the report kinds, build a small demo database and render a report from it to PDF, directly
# and through the example site configuration once a site has uncommented its keys.
# Usage: scripts/package-test.sh [BUILD_DIR]   (default: build, as ./test leaves it)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
if [ ! -f "$build/CMakeCache.txt" ]; then
  echo "package-test: $build is not a configured build folder (./test makes one)" >&2
  exit 1
fi
SECONDS=0
tmp=$(mktemp -d "${TMPDIR:-/tmp}/tipdesk-package-test.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
fail() {
  echo "package-test: $*" >&2
  exit 1
}

echo "== package: cpack -G DEB in $build =="
# cpack packs what is built: the packaged programs and files first (quick when up to date).
cmake --build "$build" --target tipdesk tipdesk-report tipdesk-sql tipdesk-demo-db tipdesk-aggregate tipdesk-package-files
rm -f "$build"/tipdesk_*.deb
(cd "$build" && cpack -G DEB) >"$tmp/cpack.log" 2>&1 || { cat "$tmp/cpack.log" >&2; fail "cpack failed"; }
debs=("$build"/tipdesk_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack wrote no single tipdesk_*.deb"
deb="${debs[0]}"
echo "$deb"
dpkg-deb -f "$deb" Package Version Depends
[[ "$(dpkg-deb -f "$deb" Depends)" == *qt6-translations-l10n* ]] ||
  fail "the package does not depend on Qt's Korean translations (qt6-translations-l10n)"
[[ "$(dpkg-deb -f "$deb" Depends)" == *libxlsxwriter* ]] ||
  fail "the package does not depend on the workbook library (libxlsxwriter)"

echo "== lintian =="
# As root lintian warns that it should not run as root; it checks all the same.
lintian --fail-on error "$deb" || fail "lintian found errors in $deb"

echo "== contents =="
root="$tmp/root"
dpkg-deb -x "$deb" "$root"
dpkg-deb -e "$deb" "$tmp/control"
desktop-file-validate "$root/usr/share/applications/tipdesk.desktop"
[ "$(ls "$root/usr/bin" | tr '\n' ' ')" = "tipdesk tipdesk-aggregate tipdesk-demo-db tipdesk-report tipdesk-sql " ] ||
  fail "usr/bin holds $(ls "$root/usr/bin" | tr '\n' ' '), not the five programs"
for program in "$root"/usr/bin/*; do
  page="$root/usr/share/man/man1/$(basename "$program").1.gz"
  [ -s "$page" ] || fail "no manual page for $(basename "$program")"
  gzip -t "$page"
done
for size in 16 32 48 64 128 256; do
  icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/tipdesk.png"
  [ "$(file -b "$icon" | grep -o "$size x $size")" = "$size x $size" ] || fail "$icon is not $size x $size"
done
units="$root/lib/systemd/system"
for unit in tipdesk-aggregate.service tipdesk-aggregate.timer; do
  [ -s "$units/$unit" ] || fail "the package holds no $unit"
done
grep -qx 'OnCalendar=\*-\*-\* 00:10:00' "$units/tipdesk-aggregate.timer" || fail "the timer does not run daily at 00:10"
grep -qx 'Persistent=true' "$units/tipdesk-aggregate.timer" || fail "the timer does not make up missed runs"
# Installed disabled: no maintainer script enables or starts anything.
if grep -qs -e 'systemctl' -e 'deb-systemd' "$tmp/control"/*inst "$tmp/control"/*rm; then
  fail "a maintainer script enables or starts a unit"
fi
if command -v systemd-analyze >/dev/null 2>&1; then
  # The units name /usr/bin/tipdesk-aggregate: verify them against the unpacked program.
  sed "s#/usr/bin/tipdesk-aggregate#$root/usr/bin/tipdesk-aggregate#" "$units/tipdesk-aggregate.service" \
    >"$tmp/tipdesk-aggregate.service"
  cp "$units/tipdesk-aggregate.timer" "$tmp/"
  # A key it cannot read is only a warning to it, with exit 0: any word from it is a failure here.
  verdict=$(systemd-analyze verify --man=no "$tmp/tipdesk-aggregate.service" "$tmp/tipdesk-aggregate.timer" 2>&1) ||
    fail "systemd-analyze finds the units invalid: $verdict"
  [ -z "$verdict" ] || fail "systemd-analyze: $verdict"
else
  echo "(systemd-analyze is not here: the units' keys were checked by grep only)"
fi
grep -qx /etc/xdg/tipdesk/tipdesk.ini "$tmp/control/conffiles" || fail "tipdesk.ini is not a conffile"
changelog_version=$(zcat "$root/usr/share/doc/tipdesk/changelog.Debian.gz" | sed -n '1s/^tipdesk (\(.*\)).*/\1/p')
[ "$changelog_version" = "$(dpkg-deb -f "$deb" Version)" ] ||
  fail "packaging/changelog's latest entry is $changelog_version, the package $(dpkg-deb -f "$deb" Version)"

echo "== the unpacked programs =="
# A home of their own, so nothing of this machine's user is read or written.
export HOME="$tmp/home"
mkdir -p "$HOME"
bin="$root/usr/bin"
kinds=$("$bin/tipdesk-report" --list | wc -l)
[ "$kinds" -eq 27 ] || fail "tipdesk-report --list printed $kinds kinds, not 27"
"$bin/tipdesk-demo-db" --out "$tmp/demo.db" --until 20240131 --days 30 --per-day 100
report=(--kind 4 --start 20240101 --end 20240131)
"$bin/tipdesk-report" "${report[@]}" --database "$tmp/demo.db" --pdf "$tmp/kind4.pdf"
[ "$(head -c 5 "$tmp/kind4.pdf")" = "%PDF-" ] || fail "$tmp/kind4.pdf is not a PDF"
pdftotext "$tmp/kind4.pdf" - | grep -q "제보자별" || fail "the PDF lacks its Korean title"
pdffonts "$tmp/kind4.pdf" | grep -q NanumGothic || fail "the PDF was not drawn with the Nanum fonts"

# The example configuration with [commonDB], Driver and Path uncommented, as a site would.
mkdir -p "$tmp/xdg/tipdesk"
sed -e 's/^;\[commonDB\]$/[commonDB]/' -e 's/^;Driver=.*/Driver=EMBEDDED/' -e "s|^;Path=.*|Path=$tmp/demo.db|" \
  "$root/etc/xdg/tipdesk/tipdesk.ini" >"$tmp/xdg/tipdesk/tipdesk.ini"
"$bin/tipdesk-report" "${report[@]}" --database "$tmp/demo.db" --text "$tmp/direct.txt" >/dev/null
XDG_CONFIG_DIRS="$tmp/xdg" "$bin/tipdesk-report" "${report[@]}" --text "$tmp/site.txt" >/dev/null
cmp -s "$tmp/direct.txt" "$tmp/site.txt" || fail "the site configuration's database was not the one used"

echo "package test passed in ${SECONDS} s"
