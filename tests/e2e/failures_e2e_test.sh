#!/usr/bin/env bash
# What a person sees when things go wrong, under Wine on the virtual screen: a package with a
# broken trailer is refused at start; a payload with a damaged entry shows the failure message,
# exits with 1 and leaves no files; an unusable folder shows its message and the form stays; and
# "取消" in the uninstaller's confirmation ends it with everything left in place; a file held by
# the running installed program is freed when the user agrees to end it.
set -uo pipefail
mkinstaller=$1 stub=$2 payload=$3 licence=$4 work=$5
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
wine_run="$top/scripts/wine-run"
[ -n "${DISPLAY:-}" ] || { echo "FAIL no DISPLAY"; exit 1; }
rm -rf "$work"; mkdir -p "$work/shots"
export WINEPREFIX="$work/prefix" QV_WINE_HOME="$work/home"
trap 'wineserver -k 2>/dev/null' EXIT
name='Varnholt手机助手苹果版'
c="$WINEPREFIX/drive_c"
install_dir="$c/Program Files (x86)/lumetra(ios)"
source "$here/e2e_lib.sh"
# Confirms a message box centred on the screen (its button sits 28 pixels below the middle) until
# the process ends; returns the process's exit code.
confirm_box_until_exit() {  # confirm_box_until_exit PID SHOT
  sleep 2; shot "$2"
  for _ in $(seq 1 20); do
    kill -0 "$1" 2>/dev/null || break
    xdotool mousemove 512 412 click 1; sleep 1
  done
  local rc=0; wait "$1" || rc=$?
  return $rc
}
build() {  # build OUTPUT [payload]
  "$mkinstaller" build --stub "$stub" --payload "${2:-$payload}" -o "$1" --lastrun lumetra_ios.exe --licence "$licence" \
    --desktop-shortcut "$name=lumetra_ios.exe" --taskbar-shortcut "$name=lumetra_ios.exe" >/dev/null
}
install_x=$((177 + 475 + 70)) install_y=$((44 + 584 + 18))
main_window_up() { not_black $((177 + 335)) $((44 + 340)); }

echo "== a broken trailer is refused at start"
build "$work/good.exe" || exit 1
t=$(od -An -tu4 -j$(( $(od -An -tu4 -j60 -N4 "$work/good.exe") - 4 )) -N4 "$work/good.exe" | tr -d ' ')
"$wine_run" wineboot >/dev/null 2>&1
head -c $((t + 10)) "$work/good.exe" > "$c/broken.exe"
"$wine_run" 'C:\broken.exe' &
rc=0; confirm_box_until_exit $! 11-broken-package || rc=$?
[ "$rc" = 0 ] && pass "broken package refused, exit 0" || fail "broken package exit code $rc"
[ ! -e "$install_dir" ] && pass "nothing installed" || fail "install folder exists"

echo "== a damaged entry fails the install and leaves no files"
python3 - "$work/damaged.zip" "$payload/lumetra_ios.exe" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_STORED) as z:
    z.write(sys.argv[2], "lumetra_ios.exe")
    z.writestr("readme.txt", "DAMAGED-CONTENT " * 64)
data = bytearray(open(sys.argv[1], "rb").read())
at = data.find(b"DAMAGED-CONTENT")
data[at] ^= 0x20
open(sys.argv[1], "wb").write(data)
PY
build "$c/damaged.exe" "$work/damaged.zip" || fail "mkinstaller refused the damaged archive"
"$wine_run" 'C:\damaged.exe' &
installer=$!
wait_for "the main window" 60 main_window_up && sleep 0.5
xdotool mousemove $install_x $install_y click 1
rc=0; confirm_box_until_exit $installer 12-damaged-entry || rc=$?
[ "$rc" = 1 ] && pass "damaged entry: failure message, exit 1" || fail "damaged entry exit code $rc"
files=$(find "$install_dir" -type f 2>/dev/null)
[ -z "$files" ] && pass "no files left after the rollback" || fail "files left: $files"
"$wine_run" reg query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\lumetra(ios)' /reg:32 >/dev/null 2>&1 \
  && fail "uninstall entry written" || pass "no uninstall entry"

echo "== an unusable folder keeps the form"
cp "$work/good.exe" "$c/good.exe"
"$wine_run" 'C:\good.exe' &
installer=$!
wait_for "the main window" 60 main_window_up && sleep 0.5
box_x=$((177 + 55 + 200)) box_y=$((44 + 520 + 17))
xdotool mousemove $box_x $box_y click --repeat 2 1; sleep 0.3
xdotool type --delay 50 'abc'; sleep 0.5
shot 13-folder-typed
xdotool mousemove $install_x $install_y click 1
sleep 2; shot 14-folder-refused
xdotool mousemove 512 412 click 1; sleep 1
if kill -0 $installer 2>/dev/null && main_window_up; then pass "the form stays after the folder message"; else fail "the installer went away"; fi
[ ! -e "$install_dir" ] && pass "nothing installed" || fail "install folder exists"
# The close button in the top strip ends the program with 0.
xdotool mousemove $((177 + 610 + 7)) $((44 + 45 + 7)) click 1
rc=0; wait $installer || rc=$?
[ "$rc" = 0 ] && pass "closed with exit 0" || fail "close exit code $rc"

echo "== a target held by the running installed program is freed on Yes"
bash "$here/component_present.sh"
"$wine_run" 'C:\good.exe' &
installer=$!
wait_for "the main window" 60 main_window_up && sleep 0.5
xdotool mousemove $install_x $install_y click 1
# The completion window's start button starts the installed program; the installer ends.
start_x=$((177 + 670 - 300 + 98)) start_y=$((224 + 185 + 10))
completion_up() { is_blue $start_x $start_y; }
wait_for "the completion window" 60 completion_up && sleep 1
xdotool mousemove $start_x $start_y click 1
wait_for "the first installer to end" 30 bash -c "! kill -0 $installer 2>/dev/null"
program_running() { pgrep -f '[l]umetra_ios.exe' >/dev/null; }
wait_for "the installed program" 30 program_running
"$wine_run" 'C:\good.exe' &
installer=$!
wait_for "the main window" 60 main_window_up && sleep 0.5
xdotool mousemove $install_x $install_y click 1
question_up() { xdotool search --onlyvisible --name '关闭占用' >/dev/null 2>&1; }
if wait_for "the question about the running program" 30 question_up; then
  sleep 1; shot 15-locked-target-question
  box=$(xdotool search --onlyvisible --name '关闭占用' | head -1)
  eval "$(xdotool getwindowgeometry --shell "$box")"
  echo "   question box at $X,$Y size ${WIDTH}x$HEIGHT"
  # Yes and No sit side by side under the text, centred; Yes is the left one.
  xdotool mousemove $((X + WIDTH / 2 - 40)) $((Y + HEIGHT - 24)) click 1
  wait_for "the running program to end" 30 bash -c "! pgrep -f '[l]umetra_ios.exe' >/dev/null" \
    && pass "Yes ends the program that held the file"
  if wait_for "the completion window" 60 completion_up; then
    sleep 1; shot 16-installed-after-freeing
    cmp -s "$payload/lumetra_ios.exe" "$install_dir/lumetra_ios.exe" && pass "the held file is installed afresh" \
      || fail "the held file differs after the install"
  fi
fi
kill $installer 2>/dev/null; wait $installer 2>/dev/null
"$wine_run" taskkill /f /im lumetra_ios.exe >/dev/null 2>&1

echo "failures e2e: $failures failure(s)"
[ "$failures" = 0 ]
