#!/usr/bin/env bash
# Makes the portable zip build/windows/dist/brdwall-<version>-win64.zip from the windows preset's
# program and library, with the README and the licence, and prints its SHA-256. Builds nothing:
# `make dist` builds first.
#
# The zip is reproducible: every file in it carries the time of the commit it was built from,
# the entries are in a fixed order with fixed permissions and no owner fields, and the programs
# themselves carry no time stamp. Two builds of one commit, anywhere, give the same zip.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bin="$root/build/windows/bin"
out="$root/build/windows/dist"
version=$(sed -n 's/^project(brdwall VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
name="brdwall-$version-win64"

for file in "$bin/brdwall.exe" "$bin/brdsave.dll"; do
    [ -f "$file" ] || { echo "error: $file is not built; run 'make dist'" >&2; exit 1; }
done

# The commit's time (or SOURCE_DATE_EPOCH when given, as the build takes it); a tree without its
# history counts from 1980, the first time a zip can hold.
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 315532800)}

stage="$out/stage"
rm -rf "$stage"
mkdir -p "$stage/$name"
cp "$bin/brdwall.exe" "$bin/brdsave.dll" "$root/README.md" "$root/LICENSE" "$stage/$name/"
chmod 0755 "$stage/$name"
chmod 0644 "$stage/$name"/*
touch -d "@$epoch" "$stage/$name" "$stage/$name"/*

zip="$out/$name.zip"
rm -f "$zip"
# -X: no owner or extra time fields; -D: no folder entries; times in UTC.
(cd "$stage" && find "$name" -type f | LC_ALL=C sort | TZ=UTC zip -X -D -q "$zip" -@)
rm -rf "$stage"

echo "$zip"
echo "SHA-256: $(sha256sum "$zip" | cut -d' ' -f1)"
