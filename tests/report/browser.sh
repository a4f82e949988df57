#!/bin/sh
# Renders the family report of the bundled example in headless Chromium and checks the
# screenshot: the expected size, not blank, and every picture the page names shown.
# browser.sh LINEAGEHTML SOURCE-DIR
set -eu
prog=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cp "$src"/pictures/*.gif "$src/examples/family.ged" "$work/"
(cd "$work" && "$prog" -f family.ged > family-f.html)

timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
	--disable-background-networking --disable-component-update --disable-sync --disable-dev-shm-usage \
	--user-data-dir="$work/profile" --window-size=800,700 --hide-scrollbars \
	--screenshot="$work/shot.png" "file://$work/family-f.html" > "$work/chromium.log" 2>&1 || {
	cat "$work/chromium.log"
	exit 1
}
# Colours of gedbase.gif, gedline1.gif, gedline2.gif, male.gif and female.gif.
perl "$src/tests/report/png_check.pl" "$work/shot.png" 800 700 2E7D32 8D6E63 5D8AA8 3366CC CC3377
