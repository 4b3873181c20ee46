#!/usr/bin/env bash
# Builds what is missing and runs every test under Wine: ctest with a persistent wineserver.
#   scripts/test.sh [ctest arguments]      e.g. scripts/test.sh -R TimeStamp
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export TW_BUILD=${TW_BUILD:-$root/build}
"$root/scripts/build.sh"
TW_BUILD=$(cd "$TW_BUILD" && pwd)
. "$root/scripts/wine-env.sh"
tw_wine_prefix
"$TW_WINESERVER" -p 2>/dev/null || true  # already running is fine
# Start Wine's services now, detached from ctest's pipes: ctest waits for every process that
# holds a test's output pipe, and the services outlive the test that would otherwise start them.
"$TW_WINE" wineboot >/dev/null 2>&1 </dev/null || true
trap '"$TW_WINESERVER" -k 2>/dev/null || true' EXIT
cd "$TW_BUILD"
ctest --output-on-failure -j "$(nproc)" "$@"
