#!/bin/sh
# The programs under a real window manager: closed with the title bar's close button, as most
# people close a window, each ends with status 0 and nothing on standard error; a message box
# closed that way gives the program its result and the program goes on; window lists read the
# titles right, whatever their letters.
# Usage: desktop.sh PERSONVIEW LINEAGETREE WIDGETS FAMILY_GED
set -eu
. "$(dirname "$0")/ended.sh"
personview=$1
lineagetree=$2
widgets=$3
family=$4

if [ -z "${DISPLAY:-}" ]; then
	echo "no display: run the tests through scripts/test" >&2
	exit 1
fi

work=$(mktemp -d)
manager=
pid=
cleanup() {
	# A program left running after a failure would put its window on the next test's screen.
	if [ -n "$pid" ]; then
		kill "$pid" 2>/dev/null || true
		wait "$pid" 2>/dev/null || true
	fi
	if [ -n "$manager" ]; then
		kill "$manager" 2>/dev/null || true
		wait "$manager" 2>/dev/null || true
	fi
	rm -rf "$work"
}
trap cleanup EXIT

fail() {
	echo "desktop.sh: $*" >&2
	exit 1
}

openbox --sm-disable >"$work/openbox.log" 2>&1 &
manager=$!
tries=0
until wmctrl -m >/dev/null 2>&1; do
	tries=$((tries + 1))
	[ "$tries" -lt 100 ] || fail "openbox did not start"
	sleep 0.1
done

# Openbox answers wmctrl before it handles map requests, and a window mapped in between is
# never shown: a throwaway window is put up, again if need be, until the manager shows one.
tries=0
while :; do
	xmessage -title 'desktop probe' ready >/dev/null 2>&1 &
	probe=$!
	shown=$(timeout 2 xdotool search --sync --onlyvisible --name '^desktop probe$' 2>/dev/null) || true
	kill "$probe" 2>/dev/null || true
	wait "$probe" 2>/dev/null || true
	[ -z "$shown" ] || break
	tries=$((tries + 1))
	[ "$tries" -lt 10 ] || fail "openbox showed no window"
done

cp "$family" "$work/family.ged"
printf '0 HEAD\n0 @I1@ INDI\n1 NAME Иван /Петров/\n0 TRLR\n' >"$work/cyrillic.ged"

# start NAME PROGRAM ARGS...: runs the program in the work folder; its outputs are kept by NAME.
start() {
	started=$1
	shift
	(cd "$work" && exec "$@") >"$work/$started.out" 2>"$work/$started.err" &
	pid=$!
}

# Sets id to the shown window whose title matches, waited for while the program started last
# runs: one that ends first fails at once, with what it said. It runs in the shell that started
# the program, the only one that sees the program end.
window_of() {
	deadline=$(($(date +%s) + 20))
	until id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) && [ -n "$id" ]; do
		if ! kill -0 "$pid" 2>/dev/null; then
			cat "$work/$started.err" >&2
			fail "$started ended before its window \"$1\" appeared"
		fi
		[ "$(date +%s)" -lt "$deadline" ] || fail "no window \"$1\" appeared in 20 seconds"
		sleep 0.1
	done
}

close() {
	wmctrl -i -c "$1" || fail "the window manager could not be asked to close $1"
}

# The program started last has ended, with status 0 and nothing on standard error.
ended_well() {
	ended "$pid" 100 || fail "$1 went on after its window was closed"
	if [ "$status" -ne 0 ] || [ -s "$work/$1.err" ]; then
		cat "$work/$1.err" >&2
		fail "$1 ended with status $status"
	fi
}

# titles ID WM_NAME _NET_WM_NAME WM_CLASS: the properties as xprop shows them.
titles() {
	LC_ALL=C.UTF-8 xprop -id "$1" WM_NAME _NET_WM_NAME WM_CLASS >"$work/xprop" || fail "xprop failed"
	printf '%s\n' "$2" "$3" "$4" | diff -u - "$work/xprop" >&2 || fail "titles read back wrong"
}

start personview "$personview" family.ged 1
window_of '^GEDCOM Individual$'
close "$id"
ended_well personview

start lineagetree "$lineagetree" family.ged 1
window_of '^Family tree: John Smith$'
titles "$id" 'WM_NAME(STRING) = "Family tree: John Smith"' \
	'_NET_WM_NAME(UTF8_STRING) = "Family tree: John Smith"' \
	'WM_CLASS(STRING) = "lineagetree", "Lineagetree"'
close "$id"
ended_well lineagetree

start cyrillic "$lineagetree" cyrillic.ged 1
window_of '^Family tree: '
titles "$id" 'WM_NAME(COMPOUND_TEXT) = "Family tree: Иван Петров"' \
	'_NET_WM_NAME(UTF8_STRING) = "Family tree: Иван Петров"' \
	'WM_CLASS(STRING) = "lineagetree", "Lineagetree"'
close "$id"
ended_well cyrillic

# The message box comes from the Messages menu, the third title, whose pull-down opens only
# once the program has seen the pointer over it: a click that came too early is tried again.
start widgets "$widgets"
window_of '^kyx widgets$'
main=$id
tries=0
until box=$(xdotool search --onlyvisible --name '^Message$' | head -n 1) && [ -n "$box" ]; do
	tries=$((tries + 1))
	[ "$tries" -lt 15 ] || fail "no message box came from the Messages menu"
	xdotool mousemove --window "$main" 90 10 sleep 0.2 mousemove --window "$main" 80 32 sleep 0.2 \
		click 1 sleep 0.3 2>/dev/null || true
done
close "$box"
tries=0
until grep -qx 'Message box: 1' "$work/widgets.out"; do
	tries=$((tries + 1))
	[ "$tries" -lt 100 ] || fail "the message box closed by the manager gave no result"
	sleep 0.1
done
close "$main"
ended_well widgets
