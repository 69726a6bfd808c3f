#!/usr/bin/env bash
# A large package (1 GiB of payload by default, QV_LARGE_SIZE to change it) installs and
# uninstalls through the windows like any other, byte for byte, while the installer process stays
# small: it must read its package in pieces, as a 32-bit process cannot hold it whole.
#
#   large_payload_test.sh MKINSTALLER STUB SAMPLE_PAYLOAD LICENCE WORK
set -uo pipefail
mkinstaller=$1 stub=$2 sample=$3 licence=$4 work=$5
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
[ -n "${DISPLAY:-}" ] || { echo "FAIL no DISPLAY"; exit 1; }
size=${QV_LARGE_SIZE:-1G}
# The installer's peak resident memory may not exceed this (KiB): Wine and the program's own
# windows take about 100 MiB; holding the package would take several times its size.
limit_kib=${QV_LARGE_MEMORY_LIMIT_KIB:-262144}
rm -rf "$work"; mkdir -p "$work"
name='Varnholt手机助手苹果版'
started=$(date +%s)

python3 "$top/bench/gen_payload.py" --seed 7 --files 400 --size "$size" "$work/payload" || exit 1
# The completion window starts the installed program, so it must be a real one.
cp "$sample/lumetra_ios.exe" "$work/payload/lumetra_ios.exe"
"$mkinstaller" build --stub "$stub" --payload "$work/payload" -o "$work/setup.exe" --lastrun lumetra_ios.exe \
  --licence "$licence" --desktop-shortcut "$name=lumetra_ios.exe" --taskbar-shortcut "$name=lumetra_ios.exe" || exit 1
echo "   package: $(stat -c %s "$work/setup.exe") bytes, packed in $(( $(date +%s) - started )) s"

export WINEPREFIX="$work/prefix" QV_WINE_HOME="$work/home"
trap 'kill $sampler 2>/dev/null; wineserver -k 2>/dev/null' EXIT
# The peak resident size of the installer's process, sampled until the test ends.
(
  peak=0
  while :; do
    for pid in $(pgrep -f 'C:\\setup\.exe'); do
      hwm=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status" 2>/dev/null)
      [ -n "$hwm" ] && [ "$hwm" -gt "$peak" ] && { peak=$hwm; echo "$peak" > "$work/peak-kib"; }
    done
    sleep 0.2
  done
) &
sampler=$!

QV_WAIT_TRIES=3000 bash "$here/drive_installer.sh" "$work/setup.exe" "$work/payload" "$work/shots" --check
rc=$?
kill $sampler 2>/dev/null
peak=$(cat "$work/peak-kib" 2>/dev/null || echo 0)
echo "   installer peak resident memory: $((peak / 1024)) MiB; whole run $(( $(date +%s) - started )) s"
if [ "$peak" -eq 0 ]; then
  echo "FAIL the installer's memory was never sampled"; rc=1
elif [ "$peak" -gt "$limit_kib" ]; then
  echo "FAIL the installer's memory grew with the package: $peak KiB > $limit_kib KiB"; rc=1
else
  echo "ok   the installer's memory stays small"
fi
# Keep the screenshots and figures; the gigabytes go.
rm -rf "$work/payload" "$work/setup.exe" "$work/prefix"
exit $rc
