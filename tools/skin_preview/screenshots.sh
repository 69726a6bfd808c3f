#!/usr/bin/env bash
# Photographs the five windows of a skin package for the documentation: each on a calm desktop
# colour with its real shadow, cropped to the window and a margin around it. A compositing
# manager runs on the private virtual screen so that the layered windows' half-transparent
# pixels are blended as Windows blends them; without one the X server shows them at full
# strength.
#
#   tools/skin_preview/screenshots.sh PREVIEW.exe PACKAGE.uir LICENCE.txt OUTDIR
#
# Needs Xvfb, xcompmgr and ImageMagick; runs the preview through scripts/wine-run, so WINEPREFIX
# and QV_WINE_HOME choose the Wine prefix as they do there.
set -euo pipefail
preview=$1 package=$2 licence=$3 out=$4
top=$(cd "$(dirname "$0")/../.." && pwd)
prefix=${WINEPREFIX:-$top/build/wineprefix}
margin=24

display=""
for n in $(seq 140 199); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "screenshots: no free display" >&2; exit 1; }
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
compositor_pid=""
cleanup() {
  # Wine's own processes keep a connection to the screen until the prefix's server ends.
  WINEPREFIX=$prefix wineserver -w 2>/dev/null || true
  [ -z "$compositor_pid" ] || kill "$compositor_pid" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=$display
for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xcompmgr -d "$display" >/dev/null 2>&1 &
compositor_pid=$!

work="$prefix/drive_c/qv-skin-shots"
mkdir -p "$work" "$out"
for entry in MainWindow:680 MainWindow2:330 ProcessWindow:300 SuccessWindow:320 SuccessWindow2:400; do
  window=${entry%%:*} height=${entry##*:}
  rm -f "$work/ready" "$work/stop"
  "$top/scripts/wine-run" "$preview" "Z:$package" "$window" --backdrop --licence "Z:$licence" \
    --ready 'C:\qv-skin-shots\ready' --stop 'C:\qv-skin-shots\stop' &
  pid=$!
  for _ in $(seq 1 600); do [ -e "$work/ready" ] && break; sleep 0.1; done
  x=$(( (1024 - 670) / 2 - margin )) y=$(( (768 - height) / 2 - margin ))
  # The compositor shows a window a moment after the program has painted it: photograph until
  # the window's middle no longer shows the desktop colour.
  for _ in $(seq 1 50); do
    import -window root -crop "$((670 + 2 * margin))x$((height + 2 * margin))+$x+$y" +repage "$out/skin-$window.png"
    middle=$(convert "$out/skin-$window.png" -format "%[pixel:p{$((335 + margin)),$((height / 2 + margin))}]" info:)
    [ "$middle" != "srgb(217,222,228)" ] && break
    sleep 0.1
  done
  touch "$work/stop"
  wait "$pid"
  echo "screenshots: $out/skin-$window.png"
done
