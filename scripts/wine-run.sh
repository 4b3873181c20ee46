#!/usr/bin/env bash
# Runs a Windows executable of the build under Wine (CMAKE_CROSSCOMPILING_EMULATOR).
set -e
here=$(cd "$(dirname "$0")" && pwd)
TW_BUILD=${TW_BUILD:-$(cd "$here/../build" 2>/dev/null && pwd)}
. "$here/wine-env.sh"
tw_wine_prefix
exec "$TW_WINE" "$@"
