#!/usr/bin/env bash
# Writes libdar3's ABI description: the exports and the types of the public headers only,
# without paths or source locations, so the file depends on the ABI alone.
# usage: write_abi.sh LIBDAR3 HEADERS_DIR OUT.abi
set -euo pipefail
abidw --headers-dir "$2" --drop-private-types --exported-interfaces-only --no-corpus-path --no-comp-dir-path --no-show-locs \
  --no-elf-needed --type-id-style hash --out-file "$3" "$1"
