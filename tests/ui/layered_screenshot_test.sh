#!/usr/bin/env bash
# Shows a layered window with alpha-shaped elements on the virtual screen, keeps a screenshot in
# the build tree and checks it: transparent rounded corners, the translucent panel body, the
# solid badge, and white caption text.
set -uo pipefail
wine_run=$1 demo=$2 shots=$3
top=$(cd "$(dirname "$0")/../.." && pwd)
prefix=${WINEPREFIX:-$top/build/wineprefix}
[ -n "${DISPLAY:-}" ] || { echo "FAIL no DISPLAY"; exit 1; }
mkdir -p "$shots" "$prefix/drive_c/qv-demo"
rm -f "$prefix/drive_c/qv-demo/"*
timeout 60 "$wine_run" "$demo" 'C:\qv-demo\ready' 'C:\qv-demo\stop' &
demo_pid=$!
for _ in $(seq 1 200); do [ -e "$prefix/drive_c/qv-demo/ready" ] && break; sleep 0.1; done
shot="$shots/layered-window.png"
import -window root "$shot"
touch "$prefix/drive_c/qv-demo/stop"
wait "$demo_pid"
pixel() { convert "$shot" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:; }
failures=0
check() {  # check NAME X Y TEST
  local value; value=$(pixel "$2" "$3")
  IFS=, read -r r g b <<<"$value"
  if eval "$4"; then echo "ok   $1 ($2,$3) = $value"; else echo "FAIL $1 ($2,$3) = $value"; failures=$((failures + 1)); fi
}
# The window is 400 x 240, centred on 1024 x 768: (312, 264) to (712, 504).
check "transparent corner" 313 265 '[ "$r" -lt 10 ] && [ "$g" -lt 10 ] && [ "$b" -lt 10 ]'
check "panel body" 512 300 '[ "$b" -gt 150 ] && [ "$r" -lt 60 ]'
check "panel edge keeps its colour" 314 384 '[ "$b" -gt 150 ]'
check "badge" 360 312 '[ "$r" -gt 200 ] && [ "$g" -gt 100 ] && [ "$b" -lt 60 ]'
check "badge corner shows the panel" 337 289 '[ "$b" -gt 150 ] && [ "$r" -lt 100 ]'
whites=$(convert "$shot" -crop 400x40+312+414 -fuzz 10% -fill black +opaque white -format "%[fx:int(mean*w*h)]" info:)
if [ "${whites:-0}" -gt 50 ]; then echo "ok   caption text drawn ($whites white pixels)"; else echo "FAIL caption text ($whites)"; failures=$((failures + 1)); fi
echo "screenshot: $shot"
[ "$failures" = 0 ]
