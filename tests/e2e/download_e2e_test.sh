#!/usr/bin/env bash
# The device-support component missing: the installer asks the redirect service on 127.0.0.1:80,
# downloads the stand-in installer, runs it, waits for it, deletes it and completes. Then with a
# slow server: the cancel button stops the download, the web-page question follows, and "否"
# still completes the install. Screenshots land in WORK/shots.
set -uo pipefail
mkinstaller=$1 stub=$2 standin=$3 payload=$4 licence=$5 work=$6
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
wine_run="$top/scripts/wine-run"
[ -n "${DISPLAY:-}" ] || { echo "FAIL no DISPLAY"; exit 1; }
rm -rf "$work"; mkdir -p "$work/shots"
name='Varnholt手机助手苹果版'
"$mkinstaller" build --stub "$stub" --payload "$payload" -o "$work/setup.exe" --lastrun lumetra_ios.exe \
  --licence "$licence" --desktop-shortcut "$name=lumetra_ios.exe" --taskbar-shortcut "$name=lumetra_ios.exe" >/dev/null || exit 1
source "$here/e2e_lib.sh"
colour_changes() { [ "$(pixel "$1" "$2")" != "$3" ]; }

server=""
start_server() {
  # Port 80 is shared with other tests: wait for our own server to say it listens (a connect
  # could reach another test's server), giving a busy port some time to come free.
  python3 "$here/redirect_server.py" "$standin" "$@" --wait-port 30 2>"$work/server.log" &
  server=$!
  for _ in $(seq 1 200); do
    grep -q "listening on" "$work/server.log" 2>/dev/null && return 0
    kill -0 "$server" 2>/dev/null || break
    sleep 0.2
  done
  fail "the redirect service could not listen on 127.0.0.1:80: $(tail -1 "$work/server.log")"
  return 1
}
stop_server() { [ -n "$server" ] && kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; server=""; }
trap 'stop_server; wineserver -k 2>/dev/null' EXIT

# Window geometry on the 1024 x 768 screen: the main window at (177, 44), the process window at
# (177, 234), the completion window at (177, 224).
install_x=$((177 + 475 + 70)) install_y=$((44 + 584 + 18))
cancel_x=$((177 + 540 + 36)) cancel_y=$((234 + 215 + 12))
start_x=$((177 + 370 + 98)) start_y=$((224 + 185 + 10))
close_x=$((177 + 610 + 7)) close_y=$((224 + 45 + 7))

run_install() {  # run_install LABEL: starts the installer in a fresh prefix and presses install
  export WINEPREFIX="$work/prefix-$1" QV_WINE_HOME="$work/home-$1"
  "$wine_run" "$work/setup.exe" &
  installer=$!
  wait_for "the main window" 60 not_black $install_x $install_y || return 1
  sleep 0.5
  xdotool mousemove $install_x $install_y click 1
}
finish() {  # closes the completion window and checks the exit code
  xdotool mousemove $close_x $close_y click 1
  local rc=0; wait "$installer" || rc=$?
  [ "$rc" = 0 ] && pass "$1: installer exits with 0" || fail "$1: installer exit code $rc"
}

echo "== download, run and wait"
if start_server; then
  run_install fast
  ran="$WINEPREFIX/drive_c/qv-e2e/itunes-ran.txt"
  wait_for "the downloaded installer to run" 90 test -s "$ran"
  wait_for "the completion window" 60 is_blue $start_x $start_y && sleep 0.5 && shot 07-completion-after-download
  [ -f "$ran" ] && grep -q 'Temp\\iTunesSetup.exe' "$ran" && pass "the downloaded installer ran: $(cat "$ran")" \
    || fail "the stand-in installer did not run"
  [ ! -e "$WINEPREFIX/drive_c/users/root/Temp/iTunesSetup.exe" ] && pass "the downloaded installer was deleted" \
    || fail "iTunesSetup.exe left in the temporary folder"
  grep -q "GET /redirect/itunesdl.php?sys=1&langid=1&bit=64" "$work/server.log" && pass "redirect asked with bit=64" \
    || fail "redirect request: $(head -3 "$work/server.log")"
  finish fast
  stop_server
fi

echo "== cancel during a slow download"
if start_server --slow; then
  run_install slow
  wait_for "the download (cancel button)" 60 not_black $cancel_x $cancel_y && sleep 1
  before=$(pixel $cancel_x $cancel_y)
  shot 08-downloading-with-cancel
  xdotool mousemove $cancel_x $cancel_y click 1
  sleep 3
  shot 09-web-page-question
  # The question box is centred on the screen; "否" sits right of the middle, 28 pixels below it.
  for _ in 1 2 3 4 5; do
    is_blue $start_x $start_y && break
    xdotool mousemove 552 412 click 1; sleep 1
  done
  wait_for "the completion window after cancelling" 30 is_blue $start_x $start_y && shot 10-completion-after-cancel
  [ ! -e "$WINEPREFIX/drive_c/qv-e2e/itunes-ran.txt" ] && pass "nothing ran after cancelling" || fail "the stand-in ran after cancel"
  [ ! -e "$WINEPREFIX/drive_c/users/root/Temp/iTunesSetup.exe" ] && pass "the partial download was deleted" \
    || fail "partial iTunesSetup.exe left"
  [ -f "$WINEPREFIX/drive_c/Program Files (x86)/lumetra(ios)/unins001.exe" ] && pass "the install is complete" \
    || fail "install incomplete"
  finish slow
  stop_server
fi

echo "download e2e: $failures failure(s)"
[ "$failures" = 0 ]
