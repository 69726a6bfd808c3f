#!/usr/bin/env bash
# Makes the device-support component look installed in the Wine prefix (WINEPREFIX): the two
# registry values the installer checks, and the files they name.
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
c="$WINEPREFIX/drive_c"
mkdir -p "$c/qv-apple"
: > "$c/qv-apple/iTunes.exe"; : > "$c/qv-apple/iTunes.dll"; : > "$c/qv-apple/AirTrafficHost.dll"
"$top/scripts/wine-run" reg add 'HKLM\SOFTWARE\Apple Computer, Inc.\iPod\RegisteredApps\4' /v path /d 'C:\qv-apple\iTunes.exe' /f /reg:32 >/dev/null 2>&1
"$top/scripts/wine-run" reg add 'HKLM\SOFTWARE\Apple Inc.\Apple Mobile Device Support\Shared' /v AirTrafficHostDLL /d 'C:\qv-apple\AirTrafficHost.dll' /f /reg:32 >/dev/null 2>&1
