#!/usr/bin/env bash
# Builds and runs every benchmark under Wine (or those whose name matches $1).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export TW_BUILD=${TW_BUILD:-$root/build}
"$root/scripts/build.sh" >/dev/null
TW_BUILD=$(cd "$TW_BUILD" && pwd)
. "$root/scripts/wine-env.sh"
tw_wine_prefix
for exe in "$TW_BUILD"/bin/*_bench.exe; do
    [ -e "$exe" ] || continue
    case "$(basename "$exe")" in *"${1:-}"*) ;; *) continue ;; esac
    echo "== $(basename "$exe")"
    "$TW_WINE" "$exe"
done
