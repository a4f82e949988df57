#!/bin/sh
# The suite's main job end to end: the example flat file through flatged, the
# result through lineagecheck and into all four lineagehtml reports; the example
# family file beside the flat file through lineagecheck -v.
#   pipeline.sh FLATGED LINEAGECHECK LINEAGEHTML IDATA
set -u
flatged=$1 check=$2 html=$3 idata=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
fail() { echo "pipeline: $*" >&2; exit 1; }

cp "$idata" idata.in
"$flatged" family.ged > flatged.out || fail "flatged exited with status $?"
[ -s family.ged ] || fail "flatged wrote no family.ged"
people=$(grep -c ' INDI$' family.ged)
families=$(grep -c ' FAM$' family.ged)
[ "$people" -ge 30 ] || fail "only $people individuals written"

"$check" -s family.ged > check.out
grep -qx 'Verified GEDCOM has HEAD tag at line 1.' check.out || fail "no HEAD at line 1: $(cat check.out)"
grep -qx 'Verified GEDCOM has trailer tag.' check.out || fail "no trailer: $(cat check.out)"
grep -qx " Number of Individuals in GED  = $people" check.out || fail "name count: $(cat check.out)"
lines=$(wc -l < family.ged)
grep -qx " Lines of Data in GED = $lines" check.out || fail "line count, expected $lines: $(cat check.out)"
# The converted file and the example family file, both as sound as GEDCOM asks, but that the
# converter writes no submitter into the head.
cp "$(dirname "$idata")/family.ged" example.ged
"$check" -v --no-doubts family.ged > verify.out && fail "lineagecheck -v found no missing SUBM"
[ "$(cat verify.out)" = "family.ged:1: HEAD without SUBM
1 problem found in family.ged." ] || fail "lineagecheck -v: $(cat verify.out)"
"$check" -v example.ged > verify.out || fail "lineagecheck -v found problems: $(cat verify.out)"
tail -n 1 verify.out | grep -qE "^No problems found( in|; [0-9]+ doubts? in) example.ged.$" || fail "lineagecheck -v: $(cat verify.out)"

for flag in i f s t; do
	"$html" -$flag family.ged > report-$flag.html || fail "lineagehtml -$flag exited with status $?"
	head -n 1 report-$flag.html | grep -qx '<html>' || fail "-$flag: no page start"
	tail -n 1 report-$flag.html | grep -qx '</html>' || fail "-$flag: no page end"
done
[ "$(grep -c ' Record = ' report-i.html)" -eq "$people" ] || fail "-i: not one Record line per individual"
[ "$(grep -c ' Family Record = ' report-f.html)" -eq "$families" ] || fail "-f: not one Family Record line per family"
# Individuals come first in the converter's files, so every husband named has a name.
if grep -q 'Husband = <b></b>' report-f.html; then fail "-f: a husband without a name"; fi
grep -q " Number of Individuals in GED  = $people</font>" report-s.html || fail "-s: individual count"
grep -q ' Source = HALVORN' report-t.html || fail "-t: no Source line"
exit 0
