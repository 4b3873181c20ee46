#!/usr/bin/env bash
# Installs what is missing, configures and builds everything into build/ (or $TW_BUILD).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TW_BUILD:-$root/build}
mkdir -p "$build"
build=$(cd "$build" && pwd)
deps=${TW_DEPS_DIR:-$build/deps}
"$root/scripts/install-deps.sh" "$deps"
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DTW_DEPS_PREFIX="$deps/prefix" >/dev/null
fi
cmake --build "$build" -j "$(nproc)"
