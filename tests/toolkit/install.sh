#!/bin/sh
# Installs the suite into a fresh prefix, checks that its manual pages name one release and
# that the installed libkyx.a defines nothing outside its API but internals of the namespace
# kyx, builds a C++ program whose own functions bear the names of internals, builds the C
# example on the installed toolkit alone (once with pkg-config, once as a CMake project that
# finds kyx), and runs each build until its window is up, then closes it through its File menu.
# Usage: install.sh BUILD_DIR SOURCE_DIR LIBDIR [EXTRA_FLAGS]
set -eu
build=$1
source=$2
libdir=$3
flags=${4:-}
. "$source/tests/ended.sh"
title="Hello from kyx"
strict="-Wall -Wextra -Wpedantic -Werror"

if [ -z "${DISPLAY:-}" ]; then
	echo "no display: run the tests through scripts/test" >&2
	exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log"
export PKG_CONFIG_PATH="$prefix/$libdir/pkgconfig"

# Every installed manual page names one release of the suite in its footer: a date and version.
find "$prefix/share/man" -name '*.[0-9]' -exec grep -h '^\.TH' {} + |
	sed 's/^\.TH [^ ]* [^ ]* \("[^"]*" "[^"]*"\).*/\1/' | sort | uniq -c >"$work/footers"
if ! grep -Eqx ' *7 "[0-9]{4}-[0-9]{2}-[0-9]{2}" "Lineage tools [0-9.]+"' "$work/footers" ||
	[ "$(wc -l <"$work/footers")" -ne 1 ]; then
	cat "$work/footers" >&2
	echo "the seven manual pages do not name one release" >&2
	exit 1
fi

# The installed header alone, in both languages, without a single warning.
printf '#include <kyx.h>\n' >"$work/header.cpp"
# shellcheck disable=SC2046,SC2086
c++ -std=c++20 $strict -fsyntax-only $(pkg-config --cflags kyx) "$work/header.cpp"

# Every external symbol is a name of kyx.h (an operation, the palette, the toolkit's state),
# something of the namespace kyx, or a weak copy of a standard template, which every program
# that uses the template shares. A bare C++ name would clash with the program's own.
header=$prefix/include/kyx.h
# A sanitized build adds a marker named after each global, and the compiler one reference to
# the C++ exception personality that all objects share.
nm -g --defined-only "$prefix/$libdir/libkyx.a" |
	awk 'NF == 3 && $3 != "DW.ref.__gxx_personality_v0" { sub(/^__odr_asan\./, "", $3); print $2, $3 }' |
	sort -u -k2,2 >"$work/symbols"
kyx_names='^_Z(G[VR]|T[VISHW])?Z?N[KVr]*3kyx'
std_names='^_Z(G[VR]|T[VISHW])?Z?(N[KVr]*)?(St|Sa|Sb|Ss|9__gnu_cxx)'
stray=""
api=0
internal=0
while read -r type name; do
	if printf '%s\n' "$name" | grep -Eq "$kyx_names"; then
		internal=$((internal + 1))
	elif printf '%s\n' "$name" | grep -Eq "$std_names" && { [ "$type" = W ] || [ "$type" = V ]; }; then
		internal=$((internal + 1))
	elif case $name in _Z*) false ;; *) grep -qw -- "$name" "$header" ;; esac; then
		api=$((api + 1))
	else
		stray="$stray $name"
	fi
done <"$work/symbols"
echo "libkyx.a: $api external symbols of kyx.h, $internal of the namespace kyx or standard templates"
if [ -n "$stray" ]; then
	echo "libkyx.a defines names outside its API and the namespace kyx:" >&2
	printf '%s\n' $stray | c++filt >&2
	exit 1
fi

# shellcheck disable=SC2046,SC2086
c++ -std=c++20 $strict $flags -o "$work/clash" "$source/tests/toolkit/clash.cpp" \
	$(pkg-config --cflags --libs kyx)
"$work/clash"

# shellcheck disable=SC2046,SC2086
cc -std=c99 $strict $flags -o "$work/hello-pkgconfig" "$source/examples/hello-c/hello.c" \
	$(pkg-config --cflags --libs kyx)

cmake -S "$source/examples/hello-c" -B "$work/cmake" -DCMAKE_PREFIX_PATH="$prefix" \
	-DCMAKE_C_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" >"$work/cmake.log"
cmake --build "$work/cmake" >>"$work/cmake.log"

# Quit sits second in the File menu, whose pull-down opens only once the program has seen the
# pointer over the title; a click that came too early hits nothing, so it is tried again until
# the window is gone. The process may take a moment longer to end (a sanitizer's leak check).
run() {
	"$1" >"$work/run.log" 2>&1 &
	pid=$!
	if ! window=$(timeout 20 xdotool search --sync --name "$title" | head -n 1) || [ -z "$window" ]; then
		kill "$pid"
		echo "$1: no window \"$title\" appeared" >&2
		exit 1
	fi
	tries=0
	while xdotool getwindowname "$window" >/dev/null 2>&1 && [ "$tries" -lt 15 ]; do
		xdotool mousemove --window "$window" 20 10 sleep 0.2 \
			mousemove --window "$window" 20 44 sleep 0.2 click 1 sleep 0.3 2>/dev/null || true
		tries=$((tries + 1))
	done
	if ! ended "$pid" 50; then
		cat "$work/run.log" >&2
		echo "$1: Quit in the File menu did not end it" >&2
		exit 1
	fi
	if [ "$status" -ne 0 ]; then
		cat "$work/run.log" >&2
		echo "$1: ended with status $status" >&2
		exit 1
	fi
}

run "$work/hello-pkgconfig"
run "$work/cmake/hello"
