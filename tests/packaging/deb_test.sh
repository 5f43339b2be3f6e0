#!/usr/bin/env bash
# cpack -G DEB from the build folder (into a scratch folder), then each package as dpkg sees it:
# its files, dependencies and version, lintian without errors, and the game and dar3play run
# from the packages unpacked with dpkg-deb -x.
# usage: deb_test.sh BUILD_DIR VERSION LIBDIR WITH_GAME(ON|OFF)
source "$(dirname "$0")/common.sh"
build=$1
version=$2
libdir=$3
with_game=$4
debs="$scratch/debs"
arch=$(dpkg --print-architecture)
# The package's file: built for this architecture, or for all (python3-dar3).
deb_of() {
  local deb="$debs/${1}_${version}_${arch}.deb"
  [ -f "$deb" ] || deb="$debs/${1}_${version}_all.deb"
  echo "$deb"
}

(cd "$build" && cpack -G DEB -B "$debs") >"$scratch/cpack.log" 2>&1 || { cat "$scratch/cpack.log"; fail "cpack -G DEB"; }

packages=(libdar3-2 libdar3-dev dar3play python3-dar3)
[ "$with_game" = ON ] && packages+=(jed-grimstorm)
for package in "${packages[@]}"; do
  deb=$(deb_of "$package")
  [ -f "$deb" ] || fail "no $deb"
  echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"
done

# expect_package PACKAGE SECTION 'DEPENDS-REGEX...' -- FILE...
expect_package() {
  local package=$1 section=$2
  shift 2
  local deb depends
  deb=$(deb_of "$package")
  [ "$(dpkg-deb -f "$deb" Package)" = "$package" ] || fail "$deb names another package"
  [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "$package: version $(dpkg-deb -f "$deb" Version)"
  [ "$(dpkg-deb -f "$deb" Section)" = "$section" ] || fail "$package: section $(dpkg-deb -f "$deb" Section)"
  [ -n "$(dpkg-deb -f "$deb" Description)" ] || fail "$package has no description"
  depends=$(dpkg-deb -f "$deb" Depends)
  while [ "$1" != "--" ]; do
    grep -qE "$1" <<<"$depends" || fail "$package: Depends '$depends' lacks $1"
    shift
  done
  shift
  dpkg-deb -c "$deb" | awk '{print $6}' >"$scratch/$package.files"
  for f in "$@"; do
    grep -qx "./usr/$f" "$scratch/$package.files" || fail "$package lacks /usr/$f"
  done
  grep -qx "./usr/share/doc/$package/copyright" "$scratch/$package.files" || fail "$package has no copyright file"
}
same="\\(= $version\\)"
expect_package libdar3-2 libs 'libc6' 'libmad0' -- "$libdir/libdar3.so.2" "$libdir/$(readlink "$build/mp3/libdar3.so.2")" \
  "$libdir/dar3/libdar3-core.so.1" "$libdir/dar3/libdar3-audio.so.1"
expect_package libdar3-dev libdevel "libdar3-2 $same" 'libmad0-dev' -- "$libdir/libdar3.so" "$libdir/pkgconfig/dar3.pc" \
  include/dar3/dar3.h include/dar3/ruve3.hpp share/doc/libdar3-dev/examples/play_mp3.c \
  share/man/man3/dar3.3.gz share/man/man3/dar3_callbacks.3.gz share/man/man3/Mp3_Play.3.gz
expect_package python3-dar3 python "libdar3-2 $same" 'python3' -- lib/python3/dist-packages/dar3/__init__.py \
  lib/python3/dist-packages/dar3/player.py share/doc/python3-dar3/examples/play_mp3.py
expect_package dar3play sound "libdar3-2 $same" 'libncursesw6' 'libsystemd0' 'libcurl4' -- bin/dar3play share/man/man1/dar3play.1.gz
if [ "$with_game" = ON ]; then
  expect_package jed-grimstorm games "libdar3-2 $same" 'libc6' 'fonts-dejavu-core' -- games/jed-grimstorm \
    share/jed-grimstorm/Grimstorm0.BMP share/jed-grimstorm/castlevania.mp3 share/applications/jed-grimstorm.desktop \
    share/icons/hicolor/256x256/apps/jed-grimstorm.png share/man/man6/jed-grimstorm.6.gz
  [ "$(grep -c '^./usr/share/jed-grimstorm/.' "$scratch/jed-grimstorm.files")" -eq "$(ls "$build/assets" | wc -l)" ] ||
    fail "jed-grimstorm does not hold every data file"
fi
echo "package files, dependencies and versions: ok"

if command -v lintian >/dev/null; then
  lintian --tag-display-limit 0 "$debs"/*.deb >"$scratch/lintian.txt" 2>&1 || true
  cat "$scratch/lintian.txt"
  ! grep -q '^E:' "$scratch/lintian.txt" || fail "lintian reports errors"
  echo "lintian: no errors"
else
  fail "lintian is not installed (deps.sh installs it)"
fi

# Unpacked, the packages run from where they are (the loader path points at the unpacked
# public libraries). The only run path left is the $ORIGIN-relative one to the private
# platform libraries, in the files that need them; none leads to a public folder.
root="$scratch/root"
for deb in "$debs"/*.deb; do dpkg-deb -x "$deb" "$root"; done
find "$root" -type f -exec sh -c 'readelf -d "$1" 2>/dev/null | grep "R.*PATH" | grep -v "\[\$ORIGIN\(/\.\./$2\)\{0,1\}\(/dar3\)\{0,1\}\]"' _ {} "$libdir" \; -print >"$scratch/with_rpath"
[ ! -s "$scratch/with_rpath" ] || fail "files with another run path: $(cat "$scratch/with_rpath")"
readelf -d "$root/usr/$libdir/libdar3.so.2" | grep -q 'RUNPATH.*\[\$ORIGIN/dar3\]' || fail "libdar3 does not find lib/dar3"
# dar3play plays through the audio engine it shares with libdar3 (its own output between tracks).
readelf -d "$root/usr/bin/dar3play" | grep -q "RUNPATH.*\[\$ORIGIN/\.\./$libdir/dar3\]" ||
  fail "dar3play does not find lib/dar3"
export LD_LIBRARY_PATH="$root/usr/$libdir"
check_dar3play "$root/usr/bin/dar3play" "$(make_tone)"
if [ "$with_game" = ON ]; then
  validate_desktop_files "$root/usr/share"
  check_game_title "$root/usr/games/jed-grimstorm" "$root/usr/share/jed-grimstorm"
fi
echo "packages: ok"
