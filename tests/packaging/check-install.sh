#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks that the tree holds exactly the files an
# installed Parlotext needs, that they agree with each other, and that every language file
# of the source tree arrived unchanged.
# Usage: check-install.sh BUILD_DIR ROOT SOURCE_DIR APP_ID LIBDIR
set -euo pipefail
build=$1 root=$2 source=$3 id=$4 libdir=$5
prefix="$root/usr"

rm -rf "$root"
cmake --install "$build" --prefix "$prefix" >/dev/null

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

expected=(
  bin/parlotext
  "$libdir/parlotext/parlotext-audio.so"
  share/parlotext/license.txt
  "share/applications/$id.desktop"
  "share/metainfo/$id.metainfo.xml"
  "share/icons/hicolor/scalable/apps/$id.svg"
  share/doc/parlotext/copyright
)
sizes=(16 22 24 32 48 64 128 256)
for size in "${sizes[@]}"; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png")
done
if [ -d "$source/Languages" ]; then
  while IFS= read -r file; do
    expected+=("share/parlotext/Languages/$file")
    cmp -s "$source/Languages/$file" "$prefix/share/parlotext/Languages/$file" ||
      fail "language file $file differs from the source or is missing"
  done < <(cd "$source/Languages" && find . -type f -printf '%P\n')
fi

# Exactly the expected files: nothing missing, nothing from the build leaking in.
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$prefix" && find . -type f -printf '%P\n' | sort) ||
  fail "installed files differ from the expected list (< expected, > installed)"

[ -x "$prefix/bin/parlotext" ] || fail "bin/parlotext is not executable"
# Qt Multimedia and the sound libraries behind it are loaded with the sound module on the
# first recording, never at start-up.
if readelf -d "$prefix/bin/parlotext" | grep -q 'NEEDED.*libQt6Multimedia'; then
  fail "bin/parlotext links Qt Multimedia itself"
fi
readelf -d "$prefix/$libdir/parlotext/parlotext-audio.so" | grep -q 'NEEDED.*libQt6Multimedia' ||
  fail "the sound module does not bring Qt Multimedia"

# PNG icons are as large as the folder they are in (width and height from the IHDR chunk).
for size in "${sizes[@]}"; do
  png="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
  [ -f "$png" ] || continue
  dimensions=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}')
  [ "$dimensions" = "${size}x${size}" ] || fail "$png is $dimensions, not ${size}x${size}"
done

# The menu entry starts the installed program and names the installed icon; the metainfo
# launches that entry.
desktop="$prefix/share/applications/$id.desktop"
if [ -f "$desktop" ]; then
  exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  [ -x "$prefix/bin/$exec_program" ] || fail "Exec names $exec_program, which is not in bin/"
  grep -qx "Icon=$id" "$desktop" || fail "the menu entry's Icon is not $id"
  grep -q '^Exec=.* %F$' "$desktop" || fail "the menu entry does not take files (%F)"
fi
metainfo="$prefix/share/metainfo/$id.metainfo.xml"
if [ -f "$metainfo" ]; then
  grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "the metainfo does not launch $id.desktop"
  grep -q "<id>$id</id>" "$metainfo" || fail "the metainfo's id is not $id"
fi
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
  "$prefix/share/doc/parlotext/copyright" || fail "the copyright file is not machine-readable"

if [ "$failures" -ne 0 ]; then
  exit 1
fi
echo "installed tree under $prefix is complete"
