#!/bin/sh
# Runs one golden case: golden.sh PROGRAM CASEDIR
#
# CASEDIR holds
#   args      the arguments, one per line (optional; none when absent)
#   env       NAME=VALUE lines, set in the program's environment (optional)
#   in/       files copied into a fresh working directory before the run (optional)
#   stdout    the expected standard output (not with full)
#   stderr    the expected standard error (optional; empty when absent)
#   full      present: standard output is /dev/full, where every write fails (optional)
#   status    the expected exit status (optional; 0 when absent)
#   out/      files that must stand, byte for byte, in the working directory afterwards (optional)
#   absent    names, one per line, that must not exist in the working directory afterwards (optional)
# The word @SAMPLES@ in args stands for the folder of real GEDCOM samples ($LINEAGE_SAMPLES).
# Exit status: 0 passed, 1 failed, 77 skipped.
set -u
prog=$1
case=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

[ -d "$case/in" ] && cp -R "$case/in/." "$work/"

# A case that reads the real samples is skipped (status 77) where the folder is missing.
if [ -f "$case/args" ] && grep -q '@SAMPLES@' "$case/args" && [ ! -d "${LINEAGE_SAMPLES:-}" ]; then
	echo "golden: no samples folder at '${LINEAGE_SAMPLES:-}'; skipped"
	exit 77
fi

set --
if [ -f "$case/args" ]; then
	while IFS= read -r arg || [ -n "$arg" ]; do
		arg=$(printf '%s' "$arg" | sed "s|@SAMPLES@|${LINEAGE_SAMPLES:-}|g")
		set -- "$@" "$arg"
	done < "$case/args"
fi

expected_status=0
[ -f "$case/status" ] && expected_status=$(cat "$case/status")

out=$work/.stdout
[ -f "$case/full" ] && out=/dev/full
(
	cd "$work" || exit 125
	if [ -f "$case/env" ]; then
		while IFS= read -r setting || [ -n "$setting" ]; do
			export "$setting"
		done < "$case/env"
	fi
	"$prog" "$@" > "$out" 2> "$work/.stderr" < /dev/null
)
status=$?
fail=0

if [ ! -f "$case/full" ] && ! diff -u "$case/stdout" "$work/.stdout"; then
	echo "golden: standard output differs" >&2
	fail=1
fi
if [ -f "$case/stderr" ]; then
	if ! diff -u "$case/stderr" "$work/.stderr"; then
		echo "golden: standard error differs" >&2
		fail=1
	fi
elif [ -s "$work/.stderr" ]; then
	echo "golden: unexpected standard error:" >&2
	cat "$work/.stderr" >&2
	fail=1
fi
if [ "$status" != "$expected_status" ]; then
	echo "golden: exit status $status, expected $expected_status" >&2
	fail=1
fi
if [ -d "$case/out" ]; then
	for want in "$case/out"/*; do
		name=$(basename "$want")
		if ! diff -u "$want" "$work/$name"; then
			echo "golden: file $name differs" >&2
			fail=1
		fi
	done
fi
if [ -f "$case/absent" ]; then
	while IFS= read -r name || [ -n "$name" ]; do
		if [ -e "$work/$name" ]; then
			echo "golden: $name exists but should not" >&2
			fail=1
		fi
	done < "$case/absent"
fi
exit $fail
