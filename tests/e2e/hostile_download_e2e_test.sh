#!/usr/bin/env bash
# The component download against misbehaving servers on 127.0.0.1:80, with the real packed
# installer under Wine: a download cut off in the middle of its body, a redirect service that
# redirects to itself, and a file server whose header never ends. Each must end in the question
# about the web page; "否" then completes the install, the installer exits with 0 and no
# downloaded file stays in the temporary folder. All three cases end without waiting out the
# program's 20 s timeout. One prefix serves every case; the install folder is removed between them.
#
#   hostile_download_e2e_test.sh MKINSTALLER STUB STANDIN PAYLOAD LICENCE WORK
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
export WINEPREFIX="$work/prefix" QV_WINE_HOME="$work/home"
source "$here/e2e_lib.sh"
question_shown() { xdotool search --onlyvisible --name '^提示$' >/dev/null 2>&1; }
question_gone() { ! question_shown; }
elapsed() { local ms=$((($(date +%s%N) - $1) / 1000000)); printf '%d.%d' $((ms / 1000)) $((ms % 1000 / 100)); }

server="" log=""
start_server() {  # start_server MODE: waits until it listens; port 80 may be busy with another test
  log="$work/server$1.log"
  python3 "$here/redirect_server.py" "$standin" "$1" --wait-port 30 2>"$log" &
  server=$!
  for _ in $(seq 1 200); do
    grep -q "listening on" "$log" 2>/dev/null && return 0
    kill -0 "$server" 2>/dev/null || break
    sleep 0.2
  done
  fail "$1: no redirect service on 127.0.0.1:80: $(tail -1 "$log")"
  stop_server
  return 1
}
stop_server() { [ -n "$server" ] && kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; server=""; }
trap 'stop_server; wineserver -k 2>/dev/null' EXIT

# Window geometry on the 1024 x 768 screen: the main window at (177, 44), the completion window
# at (177, 224). The question box is centred; "否" sits right of the middle, 28 pixels below it.
install_x=$((177 + 475 + 70)) install_y=$((44 + 584 + 18))
start_x=$((177 + 370 + 98)) start_y=$((224 + 185 + 10))
close_x=$((177 + 610 + 7)) close_y=$((224 + 45 + 7))
no_x=552 no_y=412

# The prefix is made once, before the first case's clock starts.
"$wine_run" cmd /c exit >/dev/null 2>&1
c="$WINEPREFIX/drive_c"

run_case() {  # run_case MODE
  local mode=$1 started rc=0
  rm -rf "$c/Program Files (x86)/lumetra(ios)" "$c/qv-e2e"
  "$wine_run" "$work/setup.exe" &
  local installer=$!
  wait_for "$mode: the main window" 60 not_black $install_x $install_y || { kill $installer; return; }
  sleep 0.5
  started=$(date +%s%N)
  xdotool mousemove $install_x $install_y click 1
  if wait_for "$mode: the question about the web page" 60 question_shown; then
    pass "$mode: the web-page question is asked after $(elapsed "$started") s"
    shot "question$mode"
    for _ in 1 2 3 4 5; do
      question_shown || break
      xdotool mousemove $no_x $no_y click 1; sleep 1
    done
    question_gone && pass "$mode: answered 否" || fail "$mode: the question stays after 否"
  fi
  wait_for "$mode: the completion window" 30 is_blue $start_x $start_y && shot "completion$mode"
  [ -f "$c/Program Files (x86)/lumetra(ios)/unins001.exe" ] && pass "$mode: the install is complete" \
    || fail "$mode: install incomplete"
  [ ! -e "$c/qv-e2e/itunes-ran.txt" ] && pass "$mode: nothing ran" || fail "$mode: the stand-in ran"
  local left
  left=$(ls "$c"/users/*/Temp/iTunesSetup.exe 2>/dev/null)
  [ -z "$left" ] && pass "$mode: no downloaded file left" || fail "$mode: left behind: $left"
  xdotool mousemove $close_x $close_y click 1
  # The installer must end by itself once its completion window is closed.
  for _ in $(seq 1 100); do kill -0 $installer 2>/dev/null || break; sleep 0.2; done
  if kill -0 $installer 2>/dev/null; then
    fail "$mode: the installer still runs 20 s after its completion window was closed"
    kill $installer
  fi
  wait $installer || rc=$?
  [ "$rc" = 0 ] && pass "$mode: installer exits with 0" || fail "$mode: installer exit code $rc"
  echo "   $mode took $(elapsed "$started") s from the install button"
}

for mode in --cut-mid-body --redirect-loop --endless-header; do
  echo "== $mode"
  start_server $mode || continue
  run_case $mode
  stop_server
  case $mode in
    --cut-mid-body)
      grep -q "closed after" "$log" && pass "$mode: the server cut the body" || fail "$mode: $(tail -2 "$log")" ;;
    --redirect-loop)
      # The second 302 ends the download: two requests for the redirect and none after them.
      n=$(grep -c 'GET /redirect/itunesdl.php?sys=1&langid=1&bit=64 ' "$log")
      others=$(grep -c '"GET /itunes' "$log")
      [ "$n" = 2 ] && [ "$others" = 0 ] && pass "$mode: two requests, then the installer gave up" \
        || fail "$mode: $n redirect requests, $others others" ;;
    --endless-header)
      # The server stops by itself only at 256 MiB; the client must close long before.
      sent=$(grep -o 'sent [0-9]* endless bytes' "$log" | grep -o '[0-9]*')
      [ -n "$sent" ] && [ "$sent" -lt $((256 << 20)) ] && pass "$mode: the client closed after $sent header bytes" \
        || fail "$mode: $(tail -2 "$log")" ;;
  esac
done

echo "hostile download e2e: $failures failure(s)"
[ "$failures" = 0 ]
