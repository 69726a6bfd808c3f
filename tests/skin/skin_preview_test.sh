#!/usr/bin/env bash
# Opens every window of the built skin with the preview program on the virtual screen, keeps a
# screenshot of each in the build tree and checks pixels that only a correctly built and drawn
# skin gives: clear window corners, white cards, buttons and checked boxes in the brand colour,
# the progress bar's fill and track, text in the labels and fields. On the install form it clicks
# the agreement box as a user does and watches the install button grey out and come back. A
# package without the windows' nodes is refused.
#
# Only fully opaque and fully clear pixels are checked: without a compositing manager the X
# server shows a layered window's half-transparent shadow at full strength.
set -uo pipefail
wine_run=$1 preview=$2 package=$3 licence=$4 foreign=$5 shots=$6
top=$(cd "$(dirname "$0")/../.." && pwd)
prefix=${WINEPREFIX:-$top/build/wineprefix}
[ -n "${DISPLAY:-}" ] || { echo "FAIL no DISPLAY"; exit 1; }
mkdir -p "$shots"
work="$prefix/drive_c/qv-skin-preview"
mkdir -p "$work"
failures=0
pass() { echo "ok   $1"; }
fail() { echo "FAIL $1"; failures=$((failures + 1)); }

# show WINDOW HEIGHT: starts the preview, waits for its first paint and photographs the screen.
# The window is centred, so its top-left corner is at (ox, oy).
show() {
  window=$1
  rm -f "$work/ready" "$work/stop"
  timeout 120 "$wine_run" "$preview" "Z:$package" "$window" --backdrop --licence "Z:$licence" \
    --ready 'C:\qv-skin-preview\ready' --stop 'C:\qv-skin-preview\stop' &
  preview_pid=$!
  for _ in $(seq 1 600); do [ -e "$work/ready" ] && break; sleep 0.1; done
  [ -e "$work/ready" ] || fail "$window: no first paint"
  shot="$shots/skin-$window.png"
  import -window root "$shot"
  read -r screen_w screen_h < <(identify -format "%w %h" "$shot")
  ox=$(( (screen_w - 670) / 2 )) oy=$(( (screen_h - $2) / 2 ))
  # The X server shows a window a little after the program has painted it: wait until the
  # window's middle no longer shows the desktop.
  await "shown" 335 $(( $2 / 2 )) '! backdrop'
}
finish() {
  touch "$work/stop"
  wait "$preview_pid"
  local rc=$?
  if [ "$rc" = 0 ]; then pass "$window: preview ended cleanly"; else fail "$window: preview exit code $rc"; fi
}

pixel() {  # pixel X Y, window coordinates
  convert "$shot" -format "%[fx:int(255*p{$((ox + $1)),$((oy + $2))}.r+0.5)] %[fx:int(255*p{$((ox + $1)),$((oy + $2))}.g+0.5)] %[fx:int(255*p{$((ox + $1)),$((oy + $2))}.b+0.5)]" info:
}
near() {  # near R G B TOLERANCE, against r g b
  [ $(( r > $1 ? r - $1 : $1 - r )) -le "$4" ] && [ $(( g > $2 ? g - $2 : $2 - g )) -le "$4" ] &&
    [ $(( b > $3 ? b - $3 : $3 - b )) -le "$4" ]
}
brand() { near 29 140 224 24; }
backdrop() { near 217 222 228 10; }
white() { [ "$r" -ge 245 ] && [ "$g" -ge 245 ] && [ "$b" -ge 245 ]; }
grey() { [ "$r" -ge 150 ] && [ $(( b - r )) -le 30 ] && [ $(( r > b ? r - b : b - r )) -le 30 ]; }
check() {  # check NAME X Y PREDICATE
  read -r r g b < <(pixel "$2" "$3")
  if eval "$4"; then pass "$window: $1 ($2,$3) = $r,$g,$b"; else fail "$window: $1 ($2,$3) = $r,$g,$b"; fi
}
# count NAME X Y W H MINIMUM EXPRESSION: text drawn in a window rectangle, as the number of its
# pixels for which the ImageMagick expression (over r, g and b from 0 to 1) holds.
count() {
  local found
  found=$(convert "$shot" -crop "$4x$5+$((ox + $2))+$((oy + $3))" +repage -fx "($7) ? 1 : 0" \
    -format "%[fx:int(mean*w*h+0.5)]" info:)
  if [ "${found:-0}" -ge "$6" ]; then pass "$window: $1 is drawn ($found pixels)"; else fail "$window: $1 ($found pixels)"; fi
}
ink() { count "$@" "(r + g + b) / 3 < 0.55"; }
# await NAME X Y PREDICATE: photographs again until the pixel satisfies the predicate (5 s at most).
await() {
  for _ in $(seq 1 25); do
    import -window root "$shot"
    read -r r g b < <(pixel "$2" "$3")
    eval "$4" && break
    sleep 0.2
  done
  check "$@"
}

show MainWindow 680
check "clear corner" 1 1 backdrop
check "white card" 35 400 white
check "install button" 480 590 brand
check "desktop box checked" 56 599 brand
check "agreement box checked" 56 489 brand
ink "licence" 69 315 530 150 300
ink "folder box" 63 524 400 27 40
# The agreement box, clicked as a user does: the install button greys out, then comes back.
xdotool mousemove $((ox + 60)) $((oy + 493)) click 1
await "install button greyed with the agreement cleared" 480 590 grey
check "agreement box cleared" 56 489 '! brand'
xdotool mousemove $((ox + 300)) $((oy + 40))
xdotool mousemove $((ox + 60)) $((oy + 493)) click 1
await "install button back with the agreement set" 480 590 brand
cp "$shot" "$shots/skin-MainWindow-clicked.png"
finish

show MainWindow2 330
check "clear corner" 1 1 backdrop
check "uninstall button" 369 244 brand
check "cancel button" 506 244 white
ink "question" 75 190 558 28 60
finish

show ProcessWindow 300
check "clear corner" 1 1 backdrop
check "progress fill" 66 203 brand
check "progress track" 606 203 'near 227 233 239 8'
check "cancel button" 544 219 'near 123 137 151 16'
ink "status" 56 220 480 28 60
finish

show SuccessWindow 320
check "clear corner" 668 318 backdrop
check "start button" 400 207 '[ "$b" -ge 200 ] && [ "$r" -le 110 ]'
check "white card" 640 280 white
ink "caption" 379 88 200 36 150
finish

show SuccessWindow2 400
check "clear corner" 1 1 backdrop
check "finish button" 506 314 brand
check "chat icon" 94 278 'near 55 165 226 24'
ink "thanks" 85 195 558 28 60
count "feedback link" 107 275 120 28 40 "b - r > 0.3"
finish

# A package that is not this program's skin: refused with its own exit code and a reason.
window=foreign
"$wine_run" "$preview" "Z:$foreign" MainWindow --exit-after-paint >"$work/foreign.txt" 2>&1
rc=$?
if [ "$rc" = 4 ] && grep -q "the package has no MainWindow/" "$work/foreign.txt"; then
  pass "a foreign package is refused"
else
  fail "a foreign package: exit $rc, $(cat "$work/foreign.txt")"
fi

echo "screenshots: $shots"
[ "$failures" = 0 ]
