#!/usr/bin/env bash
# The headless backends of the platform services use no SDL: their objects name no SDL or
# SDL_ttf symbol.
# usage: check_headless_objects.sh PLATFORM_BUILD_DIR
set -euo pipefail
objects=$(find "$1" -path '*/headless/*.o')
[ -n "$objects" ] || { echo "FAIL: no headless backend objects under $1"; exit 1; }
failed=0
for object in $objects; do
  if nm -C "$object" | grep -E '\b(SDL|TTF)_' ; then
    echo "FAIL: $object refers to SDL"
    failed=1
  else
    echo "ok: $(basename "$object")"
  fi
done
exit $failed
