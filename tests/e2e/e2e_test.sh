#!/usr/bin/env bash
# Packs the program built in this tree with the sample application and drives a whole install
# and uninstall in a fresh Wine prefix of its own; screenshots land in WORK/shots.
set -uo pipefail
mkinstaller=$1 stub=$2 payload=$3 licence=$4 work=$5
here=$(cd "$(dirname "$0")" && pwd)
[ -n "${DISPLAY:-}" ] || { echo "FAIL no DISPLAY"; exit 1; }
rm -rf "$work"; mkdir -p "$work"
name='Varnholt手机助手苹果版'
"$mkinstaller" build --stub "$stub" --payload "$payload" -o "$work/setup.exe" --lastrun lumetra_ios.exe \
  --licence "$licence" --desktop-shortcut "$name=lumetra_ios.exe" --taskbar-shortcut "$name=lumetra_ios.exe" || exit 1
export WINEPREFIX="$work/prefix" QV_WINE_HOME="$work/home"
trap 'wineserver -k 2>/dev/null' EXIT
bash "$here/drive_installer.sh" "$work/setup.exe" "$payload" "$work/shots" --check
