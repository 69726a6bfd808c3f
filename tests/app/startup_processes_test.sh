#!/usr/bin/env bash
# The start-up rules across real processes under Wine: a second instance restores the first and
# leaves; the elevation relaunch passes on the first three arguments; the uninstaller restarts
# from the temporary folder, and the copy there does not restart again.
set -uo pipefail
wine_run=$1 probe=$2
top=$(cd "$(dirname "$0")/../.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$top/build/wineprefix}
dir="$WINEPREFIX/drive_c/qv-startup"
rm -rf "$dir"; mkdir -p "$dir"
cp "$probe" "$dir/app_probe.exe"
failures=0
pass() { echo "ok   $1"; }
fail() { echo "FAIL $1"; failures=$((failures + 1)); }
wait_for() {  # wait_for FILE TEXT [seconds]
  for _ in $(seq 1 $(( ${3:-20} * 10 ))); do
    grep -qF -- "$2" "$1" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

# One instance per system: the second shows its notice and leaves with 0, making no window.
# (Wine does not let one process change another's window placement, so the restore itself is
# checked in-process by the framework tests; here it is only reported.)
if [ -n "${DISPLAY:-}" ]; then
  export QV_PROBE_STOP='C:\qv-startup\stop'
  QV_PROBE_SCENARIO=single QV_PROBE_OUT='C:\qv-startup\first.txt' timeout 120 "$wine_run" 'C:\qv-startup\app_probe.exe' &
  first=$!
  if wait_for "$dir/first.txt" minimised; then
    QV_PROBE_SCENARIO=single QV_PROBE_OUT='C:\qv-startup\second.txt' timeout 60 "$wine_run" 'C:\qv-startup\app_probe.exe' &
    second=$!
    # The notice is a message box centred on the screen; its button sits 28 pixels below the centre.
    sleep 3
    [ -n "${QV_SCREENSHOTS:-}" ] && import -window root "$QV_SCREENSHOTS/second-instance.png"
    eval "$(xdotool getdisplaygeometry --shell)"
    for _ in 1 2 3 4 5; do
      kill -0 "$second" 2>/dev/null || break
      xdotool mousemove $((WIDTH / 2)) $((HEIGHT / 2 + 28)) click 1
      sleep 1
    done
    rc=0; wait "$second" || rc=$?
    [ "$rc" = 0 ] && pass "second instance leaves with 0 once its notice is confirmed" || fail "second instance exit $rc"
    [ ! -e "$dir/second.txt" ] && pass "second instance makes no window" || fail "second instance made a window"
    grep -q restored "$dir/first.txt" && echo "info first instance was restored" || echo "info first instance not restored across processes (Wine)"
  else
    fail "first instance did not come up"
  fi
  touch "$dir/stop"
  rc=0; wait "$first" || rc=$?
  [ "$rc" = 0 ] && pass "first instance ends with 0" || fail "first instance exit $rc"
  rm -f "$dir/stop"
else
  fail "no DISPLAY for the single-instance check"
fi

# Elevation relaunch: the child gets the first argument quoted and the next two bare.
elevation() {  # elevation NAME EXPECTED_TAIL UNWANTED -- args
  local name=$1 tail=$2 unwanted=$3; shift 4
  rm -f "$dir/$name.txt"
  QV_PROBE_SCENARIO=elevation QV_PROBE_OUT="C:\\qv-startup\\$name.txt" timeout 60 "$wine_run" 'C:\qv-startup\app_probe.exe' "$@"
  if wait_for "$dir/$name.txt" "app_probe" 20; then
    local line; line=$(cat "$dir/$name.txt")
    if [[ "$line" == *"$tail" ]] && { [ -z "$unwanted" ] || [[ "$line" != *"$unwanted"* ]]; }; then
      pass "elevation $name: $line"
    else
      fail "elevation $name: '$line'"
    fi
  else
    fail "elevation $name: no relaunched child"
  fi
}
elevation three-args '"a" b c' "" -- a b c
elevation five-args '"a" b c' " d" -- a b c d e
elevation two-args 'app_probe.exe"' " a" -- a b
elevation spaced-arg '"x y" b c' "" -- "x y" b c

# Uninstaller relaunch: from anywhere it restarts as <temp>\unins001.exe, which stays.
rm -f "$dir/unins.txt"
QV_PROBE_SCENARIO=uninstaller QV_PROBE_OUT='C:\qv-startup\unins.txt' timeout 60 "$wine_run" 'C:\qv-startup\app_probe.exe'
if wait_for "$dir/unins.txt" "unins001.exe" 20; then
  copy=$(cat "$dir/unins.txt")
  pass "uninstaller relaunched as $copy"
  rm -f "$dir/unins.txt"
  upper=$(printf '%s' "$copy" | tr 'a-z' 'A-Z')
  QV_PROBE_SCENARIO=uninstaller QV_PROBE_OUT='C:\qv-startup\unins.txt' timeout 60 "$wine_run" "$upper"
  if [ "$(cat "$dir/unins.txt" 2>/dev/null)" = "$upper" ]; then
    pass "the copy named in capitals runs without relaunching"
  else
    fail "the copy named in capitals: '$(cat "$dir/unins.txt" 2>/dev/null)'"
  fi
else
  fail "uninstaller did not relaunch"
fi

rm -rf "$dir"
echo "startup processes: $failures failure(s)"
[ "$failures" = 0 ]
