#!/usr/bin/env bash
# cmake --install into a temporary prefix, then everything a user of that prefix does, with no
# LD_LIBRARY_PATH: dar3play --info and --decode, both examples built with pkg-config alone (the
# prefix's .pc folder as the only one) and played, the private platform libraries and the
# versioned exports, the manual pages, the Python binding and its player, the desktop files
# validated, and the game run from a folder without data.
# usage: install_tree_test.sh BUILD_DIR WITH_GAME(ON|OFF)
source "$(dirname "$0")/common.sh"
build=$1
with_game=$2
prefix="$scratch/prefix"

cmake --install "$build" --prefix "$prefix" >"$scratch/install.log" || { cat "$scratch/install.log"; fail "install"; }
libdir=$(dirname "$(find "$prefix" -name libdar3.so.2 | head -1)")
expect_files "$prefix" bin/dar3play include/dar3/dar3.h include/dar3/ruve3.hpp share/man/man1/dar3play.1.gz \
  share/doc/libdar3-dev/examples/play_mp3.c share/doc/libdar3-dev/examples/play_mp3.cpp
expect_files "$libdir" libdar3.so libdar3.so.2 pkgconfig/dar3.pc dar3/libdar3-core.so.1 dar3/libdar3-audio.so.1
# The platform libraries are libdar3's own: not in the public folder, no link names.
for stray in "$libdir"/libdar3-core* "$libdir"/libdar3-audio* "$libdir"/dar3/*.so; do
  [ -e "$stray" ] && fail "$stray looks public"
done
readelf -d "$libdir/libdar3.so.2" | grep -q 'R.*PATH.*\$ORIGIN/dar3' || fail "libdar3 has no run path to dar3/"
readelf -V "$libdir/libdar3.so.2" | grep -q 'Name: DAR3_2.5' || fail "readelf -V lists no DAR3_2.5 node"
expect_files "$prefix/share/man/man3" dar3.3.gz dar3_playback.3.gz Mp3_Play.3.gz CreateRUVe3.3.gz
for page in "$prefix"/share/man/man3/*.3.gz; do
  # man resolves a page's .so link to the compressed group page, as a reader's man does.
  warnings=$(cd "$prefix/share/man" && man --warnings=w -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done
echo "private platform libraries, DAR3_2.5 exports and $(ls "$prefix"/share/man/man3 | wc -l) manual pages: ok"
grep -q 'R.*PATH.*\$ORIGIN/\.\./' <<<"$(readelf -d "$prefix/bin/dar3play")" || fail "dar3play has no \$ORIGIN run path"

tone=$(make_tone)
check_dar3play "$prefix/bin/dar3play" "$tone"
echo "dar3play --info and --decode: ok"

# The examples, with pkg-config as the only source of flags.
export PKG_CONFIG_LIBDIR="$libdir/pkgconfig"
unset PKG_CONFIG_PATH
static_libs=$(pkg-config --libs --static dar3) || fail "pkg-config --libs --static dar3"
grep -q -- '-lmad' <<<"$static_libs" || fail "the static link line lacks libmad: $static_libs"
examples="$prefix/share/doc/libdar3-dev/examples"
# shellcheck disable=SC2046
cc -Wall -Wextra -Werror "$examples/play_mp3.c" $(pkg-config --cflags --libs dar3) -o "$scratch/play_c" ||
  fail "the C example does not build"
# shellcheck disable=SC2046
c++ -std=c++17 -Wall -Wextra -Werror "$examples/play_mp3.cpp" $(pkg-config --cflags --libs dar3) -o "$scratch/play_cxx" ||
  fail "the C++ example does not build"
for program in play_c play_cxx; do
  output=$(SDL_AUDIODRIVER=dummy "$scratch/$program" "$tone") || fail "$program: $output"
  grep -q '^done$' <<<"$output" || fail "$program did not play to the end: $output"
done
echo "both examples built with pkg-config and played the tone"

# The Python binding finds the library of its own prefix.
export PYTHONPATH="$prefix/lib/python3/dist-packages"
unset DAR3_LIBRARY
output=$(SDL_AUDIODRIVER=dummy python3 "$prefix/share/doc/python3-dar3/examples/play_mp3.py" "$tone") ||
  fail "the Python player: $output"
grep -q '^done$' <<<"$output" || fail "the Python player did not play to the end: $output"
echo "the Python player played the tone"

if [ "$with_game" = ON ]; then
  data="$prefix/share/jed-grimstorm"
  expected=$(cd "$build/assets" && ls | sort)
  [ "$(cd "$data" && ls | sort)" = "$expected" ] || fail "share/jed-grimstorm does not hold the generated data"
  expect_files "$prefix" games/jed-grimstorm share/man/man6/jed-grimstorm.6.gz share/applications/jed-grimstorm.desktop
  for size in 32 64 128 256; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/jed-grimstorm.png"
    [ "$(identify -format %wx%h "$icon")" = "${size}x${size}" ] || fail "$icon is not ${size}x${size}"
  done
  validate_desktop_files "$prefix/share"
  check_game_title "$prefix/games/jed-grimstorm" "$data"
fi
echo "install tree: ok"
