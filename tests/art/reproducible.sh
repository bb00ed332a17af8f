#!/bin/sh
# The artwork build is reproducible: the generators run again into a second folder must draw the very bytes of
# the build's own run, bitmaps and PNG previews alike.
#   reproducible.sh <art folder> <scratch folder>
set -u
art=$1
again=$2
rm -rf "$again"
mkdir -p "$again"
for generator in "$art"/artgen_*; do
    "$generator" "$again" || { echo "FAIL: $generator did not run" >&2; exit 1; }
done
list() { (cd "$1" && find korst brevane preview -type f \( -name '*.bmp' -o -name '*.png' \) | sort | xargs sha256sum); }
first=$(list "$art")
second=$(list "$again")
if [ -z "$first" ]; then
    echo "FAIL: no pictures in $art" >&2
    exit 1
fi
if [ "$first" != "$second" ]; then
    echo "FAIL: a second run draws other bytes:" >&2
    printf '%s\n' "$first" > "$again/first.sha256"
    printf '%s\n' "$second" > "$again/second.sha256"
    diff "$again/first.sha256" "$again/second.sha256" >&2
    exit 1
fi
printf '%s\n' "$first"
echo "reproducible: $(printf '%s\n' "$first" | wc -l) pictures drawn byte for byte again"
