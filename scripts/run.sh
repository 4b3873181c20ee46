#!/usr/bin/env bash
# The program's main job: builds what is missing and starts Tarn_Wick.exe under Wine, in a
# prefix of its own with a sandbox data drive T: (build/sandbox, the working folder, so that
# paths such as "\Storage Card\Maps" stay inside it). Without a display it runs under Xvfb.
#   scripts/run.sh [program arguments]
#   TW_OEM="..." sets the device's OEM information string.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export TW_BUILD=${TW_BUILD:-$root/build}
"$root/scripts/build.sh" >/dev/null
TW_BUILD=$(cd "$TW_BUILD" && pwd)
export TW_WINEPREFIX=$TW_BUILD/runprefix TW_WINE_GRAPHICS=x11
if [ -z "${DISPLAY:-}" ] && [ -z "${TW_NO_XVFB:-}" ]; then
    exec xvfb-run -a -s "-screen 0 800x600x24" env TW_NO_XVFB=1 "$0" "$@"
fi
. "$root/scripts/wine-env.sh"
tw_wine_prefix

sandbox=$TW_BUILD/sandbox
mkdir -p "$sandbox/Storage Card"
ln -sfn "$sandbox" "$WINEPREFIX/dosdevices/t:"
if [ -n "${TW_OEM:-}" ]; then
    "$TW_WINE" reg add 'HKLM\SOFTWARE\Tarn-Wick Platform' /v OemInfo /d "$TW_OEM" /f >/dev/null 2>&1
fi

# The sandbox device uses its receiver: GPS use (bit 1 of the option word cfg7, beside the
# word's defaults) is switched on once, before the first start.
key='HKLM\SOFTWARE\Kestrova\Tarn-Wick'
if ! "$TW_WINE" reg query "$key" /v cfg7 >/dev/null 2>&1; then
    "$TW_WINE" reg add "$key" /v cfg7 /t REG_DWORD /d 0xC812 /f >/dev/null 2>&1
fi

# The program and what ships beside it.
mkdir -p "$sandbox/Program"
cp "$TW_BUILD/bin/Tarn_Wick.exe" "$TW_BUILD/bin/DEU.DLL" "$TW_BUILD/bin/coredll.dll" "$sandbox/Program/"

# A simulated receiver on COM6 (the program's default port "COM6:"): a pseudo-terminal that
# replays scripts/gps_track.nmea at 4800 baud, stopped when the program ends.
python=/usr/bin/python3
[ -x "$python" ] || python=python3
"$python" "$root/scripts/nmea_pty.py" replay 6 "$root/scripts/gps_track.nmea" 4800 &
gps_sim=$!
trap 'kill "$gps_sim" 2>/dev/null || true' EXIT

cd "$sandbox"
echo "run: starting Tarn_Wick.exe (prefix $WINEPREFIX, data drive T: = $sandbox)"
"$TW_WINE" 'T:\Program\Tarn_Wick.exe' "$@"
