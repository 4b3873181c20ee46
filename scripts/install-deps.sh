#!/usr/bin/env bash
# Installs the Debian packages the cross build needs and cross-builds expat (UTF-16),
# libjpeg-turbo, libpng and SQLite for x86_64-w64-mingw32 into a cache.
# Idempotent: with the cache present it only checks and returns.
#   usage: scripts/install-deps.sh [DEPS_DIR]   (default: build/deps)
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
deps=${1:-${TW_DEPS_DIR:-$here/build/deps}}
mkdir -p "$deps"
deps=$(cd "$deps" && pwd)
prefix=$deps/prefix
stamp=$prefix/.complete-v1

packages=(wine64 g++-mingw-w64-x86-64 libz-mingw-w64-dev cmake ninja-build xvfb xauth
          dpkg-dev tcl googletest python3 make file)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

need_src=0
[ -f "$stamp" ] || need_src=1

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

if [ ${#missing[@]} -gt 0 ] || [ $need_src = 1 ]; then
    # deb-src entries beside the deb ones, so that apt-get source works
    if [ -f /etc/apt/sources.list.d/debian.sources ] &&
       ! grep -q 'deb-src' /etc/apt/sources.list.d/debian.sources; then
        as_root sed -i 's/^Types: deb$/Types: deb deb-src/' /etc/apt/sources.list.d/debian.sources
        updated=0
    elif [ -f /etc/apt/sources.list ] && ! grep -q '^deb-src' /etc/apt/sources.list; then
        grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' | as_root tee -a /etc/apt/sources.list >/dev/null
        updated=0
    fi
    if [ ${#missing[@]} -gt 0 ] || [ "${updated:-1}" = 0 ] || [ $need_src = 1 ]; then
        as_root apt-get update -qq
    fi
fi
if [ ${#missing[@]} -gt 0 ]; then
    echo "install-deps: installing ${missing[*]}"
    DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if [ $need_src = 0 ]; then
    echo "install-deps: cache complete in $prefix"
    exit 0
fi

src=$deps/src
rm -rf "$src" "$prefix"
mkdir -p "$src" "$prefix"
cd "$src"
apt-get source --download-only expat libjpeg-turbo libpng1.6 sqlite3 >/dev/null 2>&1 || true
for t in expat libjpeg-turbo libpng1.6 sqlite3; do
    ls ${t}_*.orig.tar.* >/dev/null 2>&1 || { echo "install-deps: no source of $t" >&2; exit 1; }
done

jobs=$(nproc)
toolchain=$here/cmake/mingw-w64-x86_64.cmake
unpack() { # tarball -> directory name
    local tb=$1 d
    d=$(tar -tf "$tb" | head -n1 | cut -d/ -f1)
    tar -xf "$tb"
    echo "$d"
}
cmake_dep() { # srcdir args...
    local s=$1; shift
    cmake -S "$s" -B "$s/_build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DCMAKE_POSITION_INDEPENDENT_CODE=OFF -Wno-dev "$@" >/dev/null
    cmake --build "$s/_build" -j "$jobs" >/dev/null
    cmake --install "$s/_build" >/dev/null
}

d=$(unpack expat_*.orig.tar.*)
[ -f "$d/CMakeLists.txt" ] || d=$d/expat
cmake_dep "$d" -DEXPAT_CHAR_TYPE=wchar_t -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF \
    -DEXPAT_BUILD_EXAMPLES=OFF -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF -DEXPAT_BUILD_PKGCONFIG=OFF
echo "install-deps: expat done"

d=$(unpack libjpeg-turbo_*.orig.tar.*)
cmake_dep "$d" -DWITH_SIMD=OFF -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF
echo "install-deps: libjpeg-turbo done"

d=$(unpack libpng1.6_*.orig.tar.*)
cmake_dep "$d" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DZLIB_ROOT=/usr/x86_64-w64-mingw32
echo "install-deps: libpng done"

d=$(unpack sqlite3_*.orig.tar.*)
( cd "$d" && mkdir -p _native && cd _native && ../configure >/dev/null 2>&1 && make sqlite3.c >/dev/null 2>&1 )
x86_64-w64-mingw32-gcc-posix -O2 -c "$d/_native/sqlite3.c" -o "$src/sqlite3.o" -DSQLITE_THREADSAFE=1
x86_64-w64-mingw32-ar rcs "$prefix/lib/libsqlite3.a" "$src/sqlite3.o"
mkdir -p "$prefix/include"
cp "$d/_native/sqlite3.h" "$prefix/include/"
echo "install-deps: sqlite done"

rm -rf "$src"
touch "$stamp"
echo "install-deps: cache complete in $prefix"
