#!/usr/bin/env bash
# Drives the installer the way a person does, on an X screen (DISPLAY) with a fixed 1024 x 768
# geometry and no window manager: install with the defaults, start the installed program from
# the completion window, then uninstall. Takes screenshots of every step and checks what the
# install and the uninstall left on disk and in the registry.
#
#   drive_installer.sh SETUP.exe PAYLOAD_DIR SHOTS_DIR [--check]
#
# Uses WINEPREFIX and QV_WINE_HOME from the environment (scripts/wine-run's defaults otherwise).
# Exits non-zero when a check fails (with --check) or a step does not happen.
set -uo pipefail
setup=$1 payload=$2 shots=$3 check=${4:-}
top=$(cd "$(dirname "$0")/../.." && pwd)
wine_run="$top/scripts/wine-run"
export WINEPREFIX=${WINEPREFIX:-$top/build/wineprefix}
export QV_WINE_HOME=${QV_WINE_HOME:-$top/build/winehome}
mkdir -p "$shots"
c="$WINEPREFIX/drive_c"
install_dir="$c/Program Files (x86)/lumetra(ios)"
name='Varnholt手机助手苹果版'
failures=0
step() { echo "== $*"; }
pass() { echo "ok   $*"; }
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
shot() { import -window root "$shots/$1.png"; echo "   screenshot $shots/$1.png"; }
click() { xdotool mousemove "$1" "$2" click 1; }
# Waits until the screen pixel at (x, y) matches a colour test, or gives up after ~20 s.
pixel() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null | tail -1 | grep -o '#[0-9A-F]\{6\}'; }
# QV_WAIT_TRIES stretches every wait (a try is 0.2 s) for large payloads.
wait_until() {  # wait_until DESCRIPTION COMMAND...
  local what=$1; shift
  for _ in $(seq 1 "${QV_WAIT_TRIES:-100}"); do "$@" && return 0; sleep 0.2; done
  fail "timed out waiting for $what"; return 1
}
not_black() { [ "$(pixel "$1" "$2")" != "#000000" ]; }
# The brand blue of buttons: much more blue than red.
is_blue() { local p; p=$(pixel "$1" "$2"); p=${p#\#}; [ -n "$p" ] && [ $((16#${p:4:2})) -gt $((16#${p:0:2} + 60)) ]; }
is_black() { [ "$(pixel "$1" "$2")" = "#000000" ]; }
process_gone() { ! kill -0 "$1" 2>/dev/null; }
# The main window is on screen (by its title); pixels alone can be stale on a bare X screen.
main_window_shown() { xdotool search --onlyvisible --name "$name 安装程序" >/dev/null 2>&1; }

# What the prefix holds: every file and folder of drive C with its size, and the registry as
# reg exports it (both roots; the 32-bit view is inside HKLM). Compared around install+uninstall.
snapshot() {  # snapshot NAME
  local out="$shots/prefix-$1"
  # Wine registers the display adapter when the first window-using process starts; let that
  # happen before the first look, so that it does not count as the product's change.
  "$wine_run" rundll32 user32.dll,GetDesktopWindow >/dev/null 2>&1
  (cd "$c" && find . -path ./qv-snapshot -prune -o -printf '%y %s %p\n' | LC_ALL=C sort) > "$out.files"
  mkdir -p "$c/qv-snapshot"
  for root in HKLM HKCU; do
    "$wine_run" reg export "$root" "C:\\qv-snapshot\\$root.reg" /y >/dev/null 2>&1
    iconv -f UTF-16 -t UTF-8 "$c/qv-snapshot/$root.reg" | tr -d '\r'
  done | awk '  # less Wine'"'"'s display bookkeeping, which it redoes with fresh ids and dates per
    # process, and its own volatile copy of the desktop settings, filled as programs ask for them
    /^\[/ { skip = index($0, "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Video\\") == 1 ||
                  index($0, "[HKEY_CURRENT_USER\\Software\\Wine\\Temporary System Parameters") == 1 }
    !skip && !/^"DriverDateData"=/' > "$out.reg"
  rm -rf "$c/qv-snapshot"
}

# The main window is 670 x 680, centred: its origin is (177, 44) on a 1024 x 768 screen.
X0=177 Y0=44

step "the device-support component is present"
bash "$top/tests/e2e/component_present.sh"

[ -n "$check" ] && snapshot before

step "install with the defaults"
cp "$setup" "$c/setup.exe"
"$wine_run" 'C:\setup.exe' &
installer=$!
wait_until "the main window" not_black $((X0 + 335)) $((Y0 + 340)) && sleep 0.5
shot 01-main-window
# Clearing the agreement greys the install button; a click on it then does nothing.
agree_x=$((X0 + 48 + 14)) agree_y=$((Y0 + 480 + 13))
button_x=$((X0 + 475 + 70)) button_y=$((Y0 + 584 + 18))
xdotool mousemove 900 20
enabled_colour=$(pixel $((button_x - 50)) $button_y)
colour_is() { [ "$(pixel $((button_x - 50)) $button_y)" = "$1" ]; }
colour_is_not() { [ "$(pixel $((button_x - 50)) $button_y)" != "$1" ]; }
click $agree_x $agree_y
xdotool mousemove 900 20
if wait_until "the install button to grey" colour_is_not "$enabled_colour"; then
  grey_colour=$(pixel $((button_x - 50)) $button_y)
  shot 02-agreement-cleared
  click $button_x $button_y; sleep 1
  not_black $((X0 + 335)) $((Y0 + 340)) && pass "install button greyed ($enabled_colour -> $grey_colour) and ignored" \
    || fail "a click on the greyed button did something"
fi
click $agree_x $agree_y
xdotool mousemove 900 20
wait_until "the install button to be enabled again" colour_is "$enabled_colour" && pass "agreement set again enables the button"
click $button_x $button_y
# The completion window (670 x 320, centred at (177, 224)) has its start button at its right.
done_x=$((177 + 670 - 300 + 98)) done_y=$((224 + 185 + 10))
wait_until "the completion window" is_blue $done_x $done_y && sleep 0.8
shot 03-completion-window
click $done_x $done_y
wait_until "the installer to end" process_gone $installer
wait "$installer"; rc=$?
[ "$rc" = 0 ] && pass "installer exits with 0" || fail "installer exit code $rc"
wait_until "the installed program's window" bash -c "xwininfo -root -tree | grep -q lumetra_ios.exe"
sleep 0.5; shot 04-installed-program-started
"$wine_run" taskkill /f /im lumetra_ios.exe >/dev/null 2>&1 || pkill -f lumetra_ios.exe

if [ -n "$check" ]; then
  step "check the install"
  ok=1
  while IFS= read -r -d '' file; do
    rel=${file#"$payload"/}
    cmp -s "$file" "$install_dir/$rel" || { fail "payload file differs or is missing: $rel"; ok=0; }
  done < <(find "$payload" -type f -print0)
  [ "$ok" = 1 ] && pass "every payload file is byte-identical in the install folder"
  missing=$(cd "$payload" && find . -mindepth 1 -type d | while IFS= read -r d; do [ -d "$install_dir/$d" ] || echo "$d"; done)
  [ -z "$missing" ] && pass "folders created" || fail "folders missing: $missing"
  if "$top/build/native/tools/mkinstaller/mkinstaller" inspect "$install_dir/unins001.exe" > "$shots/unins001-inspect.txt" 2>&1 \
     && grep -q "kind: uninstaller" "$shots/unins001-inspect.txt" \
     && grep -q 'root: C:\\Program Files (x86)\\lumetra(ios)' "$shots/unins001-inspect.txt"; then
    pass "unins001.exe carries the manifest"
  else
    fail "unins001.exe manifest: $(head -5 "$shots/unins001-inspect.txt")"
  fi
  key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\lumetra(ios)'
  # reg prints in the console's code page, 936 here.
  reg=$("$wine_run" reg query "$key" /reg:32 2>/dev/null | iconv -f GBK -t UTF-8 | tr -d '\r')
  for value in DisplayName DisplayIcon UninstallString Publisher; do
    grep -q "$value" <<<"$reg" || fail "registry value $value missing"
  done
  grep -q "$name" <<<"$reg" && pass "uninstall entry written" || fail "uninstall entry: $reg"
  # The prefix's Desktop is a link into the Linux side, so follow links. The shell may still be
  # handling the pin request on a link when the installer has ended, so allow it a moment.
  resolves() { local f; f=$(find -L "$c/users" -path "*$1/$name.lnk" 2>/dev/null | head -1)
               [ -n "$f" ] && lnkinfo -c windows-936 "$f" 2>/dev/null | grep -q 'lumetra(ios)\\lumetra_ios.exe'; }
  wait_until "the desktop shortcut" resolves Desktop && pass "desktop shortcut resolves to the program"
  wait_until "the quick launch shortcut" resolves "Quick Launch" && pass "quick launch shortcut resolves to the program"
  start=$(find "$c/users" -path "*Programs/$name/$name.lnk" 2>/dev/null | head -1)
  [ -n "$start" ] && pass "start menu shortcut made" || fail "start menu shortcut missing"
  leftovers=$(find "$c/users" -path '*Temp*' -name '*.zip' 2>/dev/null)
  [ -z "$leftovers" ] && pass "temporary archive gone" || fail "temporary archive left: $leftovers"
fi

step "uninstall, first cancelled"
"$wine_run" 'C:\Program Files (x86)\lumetra(ios)\unins001.exe' &
launcher=$!
wait_until "the confirmation window" main_window_shown && sleep 1
# "取消" sits at the bottom right, right of "卸载".
click $((177 + 670 - 170 + 58)) $((219 + 330 - 92 + 18))
wait "$launcher" 2>/dev/null
wait_until "the cancelled uninstaller to end" bash -c "! pgrep -f '[u]nins001.exe' >/dev/null"
if [ -f "$install_dir/unins001.exe" ] && [ -f "$install_dir/lumetra_ios.exe" ]; then
  pass "cancelling the uninstall leaves everything in place"
else
  fail "files went missing after cancelling the uninstall"
fi

step "uninstall"
"$wine_run" 'C:\Program Files (x86)\lumetra(ios)\unins001.exe' &
launcher=$!
# The confirmation window is 670 x 330, centred at (177, 219).
wait_until "the confirmation window" main_window_shown && sleep 1
shot 05-uninstall-confirmation
click $((177 + 670 - 307 + 58)) $((219 + 330 - 92 + 18))
# The farewell window is 670 x 400, centred at (177, 184); "完成" sits at its bottom right.
fin_x=$((177 + 670 - 170 + 58)) fin_y=$((184 + 400 - 92 + 18))
# The process window sits under the same spot while files go, so wait for the blue button.
wait_until "the farewell window" is_blue $fin_x $fin_y && sleep 0.8
shot 06-farewell-window
click $fin_x $fin_y
wait "$launcher" 2>/dev/null
wait_until "the uninstaller to end" bash -c "! pgrep -f '[u]nins001.exe' >/dev/null"

if [ -n "$check" ]; then
  step "check the uninstall"
  [ ! -e "$install_dir" ] && pass "install folder removed" || fail "install folder left: $(ls "$install_dir")"
  "$wine_run" reg query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\lumetra(ios)' /reg:32 >/dev/null 2>&1 \
    && fail "uninstall entry left" || pass "uninstall entry removed"
  left=$(find -L "$c/users" -name "$name*" 2>/dev/null)
  [ -z "$left" ] && pass "shortcuts and start menu folder removed" || fail "left behind: $left"
  snapshot after
  diff "$shots/prefix-before.files" "$shots/prefix-after.files" > "$shots/prefix-files.diff"
  diff "$shots/prefix-before.reg" "$shots/prefix-after.reg" > "$shots/prefix-registry.diff"
  # Allowed: the uninstaller's copy in the temporary folder, the test's own setup.exe, and the
  # Quick Launch folder, which Windows always has and a fresh Wine prefix lacks.
  extra=$(grep '^[<>]' "$shots/prefix-files.diff" | grep -v -e '^> f .*/Temp/unins001\.exe$' -e '^> f [0-9]* \./setup\.exe$' \
          -e '^> d [0-9]* \./users/[^/]*/AppData/Roaming/Microsoft/Internet Explorer\(/Quick Launch\)\?$')
  [ -z "$extra" ] && pass "the prefix's files are as before but for the uninstaller copy in Temp" \
    || fail "files changed by install + uninstall: $extra"
  grep -q '^> f .*/Temp/unins001\.exe$' "$shots/prefix-files.diff" || fail "no uninstaller copy in the temporary folder"
  [ ! -s "$shots/prefix-registry.diff" ] && pass "the registry is as before" \
    || fail "registry changed by install + uninstall: $(head -20 "$shots/prefix-registry.diff")"
fi

echo "drive_installer: $failures failure(s)"
[ "$failures" = 0 ]
