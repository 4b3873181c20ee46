# Sourced: the Wine environment of a build tree. Needs TW_BUILD (the build folder).
: "${TW_BUILD:?}"
export WINEPREFIX="${TW_WINEPREFIX:-$TW_BUILD/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
TW_WINE=/usr/lib/wine/wine64
TW_WINESERVER=/usr/lib/wine/wineserver64
[ -x "$TW_WINE" ] || TW_WINE=$(command -v wine64 || command -v wine)
[ -x "$TW_WINESERVER" ] || TW_WINESERVER=$(command -v wineserver)

# Creates the prefix once; headless (null display driver) unless TW_WINE_GRAPHICS=x11.
tw_wine_prefix() {
    if [ ! -f "$WINEPREFIX/.tw-ready" ]; then
        rm -rf "$WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        "$TW_WINE" wineboot -i >/dev/null 2>&1 || true
        if [ "${TW_WINE_GRAPHICS:-null}" = null ]; then
            "$TW_WINE" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
        fi
        "$TW_WINESERVER" -w
        touch "$WINEPREFIX/.tw-ready"
    fi
}
