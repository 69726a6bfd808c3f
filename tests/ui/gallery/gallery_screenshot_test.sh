#!/usr/bin/env bash
# Shows the control gallery on the virtual screen, keeps its screenshot in the build tree and
# checks pixels that tell the states apart: the disabled button is grey, the pressed one darker
# than the normal one, the 50 % progress fill stops near the middle of its track, a checked box
# differs from an unchecked one, the checked radio box shows its dot.
#
#   gallery_screenshot_test.sh WINE_RUN GALLERY.exe PACKAGE.uir SHOTS_DIR
set -uo pipefail
wine_run=$1 gallery=$2 package=$3 shots=$4
top=$(cd "$(dirname "$0")/../../.." && pwd)
prefix=${WINEPREFIX:-$top/build/wineprefix}
[ -n "${DISPLAY:-}" ] || { echo "FAIL no DISPLAY"; exit 1; }
mkdir -p "$shots"
work="$prefix/drive_c/qv-gallery"
mkdir -p "$work"
rm -f "$work/ready" "$work/stop"
failures=0
pass() { echo "ok   $1"; }
fail() { echo "FAIL $1"; failures=$((failures + 1)); }

timeout 180 "$wine_run" "$gallery" "Z:$package" --backdrop --ready 'C:\qv-gallery\ready' --stop 'C:\qv-gallery\stop' &
pid=$!
for _ in $(seq 1 900); do [ -e "$work/ready" ] && break; sleep 0.2; done
[ -e "$work/ready" ] || fail "no first paint"
shot="$shots/gallery.png"
read -r sw sh < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
ox=$(( (sw - 900) / 2 )) oy=$(( (sh - 700) / 2 ))
pixel() {  # window coordinates -> "r g b"
  convert "$shot" -format "%[fx:int(255*p{$((ox + $1)),$((oy + $2))}.r+0.5)] %[fx:int(255*p{$((ox + $1)),$((oy + $2))}.g+0.5)] %[fx:int(255*p{$((ox + $1)),$((oy + $2))}.b+0.5)]" info:
}
# Wait until the window shows over the backdrop (the normal button's middle turns brand blue).
for _ in $(seq 1 50); do
  import -window root "$shot"
  read -r r g b < <(pixel 180 158)
  [ "$b" -ge 180 ] && [ "$r" -le 80 ] && break
  sleep 0.2
done
check() {  # NAME CONDITION
  if eval "$2"; then pass "$1"; else fail "$1"; fi
}
read -r nr ng nb < <(pixel 180 158)      # normal primary button, left of its caption
read -r pr pg pb < <(pixel 440 158)      # pressed
read -r dr dg db < <(pixel 570 158)      # disabled
echo "normal $nr,$ng,$nb pressed $pr,$pg,$pb disabled $dr,$dg,$db"
check "normal button is brand blue" '[ "$nb" -ge 180 ] && [ "$nr" -le 80 ]'
check "pressed button is darker than normal" '[ $((pr + pg + pb)) -lt $((nr + ng + nb - 30)) ]'
check "disabled button is grey" '[ $((db - dr)) -le 40 ] && [ "$dr" -ge 150 ]'
# Progress at 50 %: the bar runs from x 390 to 590 at y 345..351 in the window.
read -r fr fg fb < <(pixel 470 348)
read -r tr tg tb < <(pixel 510 348)
echo "progress 50%: fill $fr,$fg,$fb track $tr,$tg,$tb"
check "50 % progress is filled before the middle" '[ "$fb" -ge 180 ] && [ "$fr" -le 80 ]'
check "50 % progress is track after the middle" '[ "$tr" -ge 200 ] && [ "$tb" -ge 200 ]'
edge=$(convert "$shot" -crop "200x1+$((ox + 390))+$((oy + 348))" +repage txt:- |
  awk -F'[(,)]' 'NR > 1 && $4 < 150 { last = $1 } END { print last + 0 }')
echo "progress 50%: last filled column $edge of 200"
check "50 % progress fill ends near the middle" '[ "$edge" -ge 90 ] && [ "$edge" -le 110 ]'
# Check boxes: the glyph of the checked box (second) against the unchecked one (first).
read -r ur ug ub < <(pixel 178 249)
read -r cr cg cb < <(pixel 308 249)
echo "check box glyph: unchecked $ur,$ug,$ub checked $cr,$cg,$cb"
check "checked box differs from unchecked" '[ $(( (ur - cr) * (ur - cr) + (ub - cb) * (ub - cb) )) -gt 2000 ]'
# Radio group: the checked radio shows its brand dot, the unchecked one is white inside.
read -r ar ag ab < <(pixel 180 282)
read -r br bg bb < <(pixel 310 282)
echo "radio centres: unchecked $ar,$ag,$ab checked $br,$bg,$bb"
check "checked radio has a dot" '[ "$bb" -ge 180 ] && [ "$br" -le 80 ] && [ "$ar" -ge 230 ]'
touch "$work/stop"
wait "$pid"
rc=$?
check "gallery ended cleanly (exit $rc)" '[ "$rc" = 0 ]'
echo "screenshot: $shot"
[ "$failures" = 0 ]
