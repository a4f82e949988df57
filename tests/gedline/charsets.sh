#!/bin/sh
# The same family in every character set and form gives every program the same output as
# the UTF-8 file, but for lines that show the header's CHAR value.
#   charsets.sh FORMS LINEAGEHTML LINEAGECHECK LINEAGETREE
set -u
forms=$1 html=$2 check=$3 tree=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$forms" "$work" || { echo "cannot write the forms"; exit 1; }

# Each form under one name, in a folder of its own, so that titles name the same file.
for f in "$work"/*.ged; do
	name=$(basename "$f" .ged)
	mkdir "$work/$name"
	mv "$f" "$work/$name/family.ged"
done

run_all() {
	cd "$work/$1" || exit 1
	for flag in -i -f -s -t; do "$html" $flag family.ged; echo "status $?"; done
	for flag in -b -s -t; do "$check" $flag family.ged; echo "status $?"; done
	for number in 1 2 3; do "$tree" --print family.ged $number 2>&1; echo "status $?"; done
}

failed=0
compare() {
	run_all "$1" | grep -v -e CHAR -e "Character Set =" > "$work/$1.want"
	grep -q "Łukasz\|Šárka" "$work/$1.want" || { echo "$1: the letters are not in the output"; failed=1; }
	for form in $2; do
		run_all "$form" | grep -v -e CHAR -e "Character Set =" > "$work/$form.got"
		if ! diff -u "$work/$1.want" "$work/$form.got"; then
			echo "$form differs from $1"
			failed=1
		fi
	done
}
compare utf8 "utf8-mark utf16le utf16le-mark utf16be utf16be-mark ansel mislabelled"
compare western-utf8 "western-ansi"
exit $failed
