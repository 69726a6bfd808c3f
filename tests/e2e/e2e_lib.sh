# Shared by the end-to-end scripts (sourced): results, screenshots into $work/shots, and reading
# the virtual screen's pixels. The sourcing script sets work before it calls shot.
failures=0
pass() { echo "ok   $*"; }
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
shot() { import -window root "$work/shots/$1.png"; }
pixel() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null | tail -1 | grep -o '#[0-9A-F]\{6\}'; }
wait_for() {  # wait_for DESCRIPTION SECONDS COMMAND...
  local what=$1 seconds=$2; shift 2
  for _ in $(seq 1 $((seconds * 5))); do "$@" && return 0; sleep 0.2; done
  fail "timed out waiting for $what"; return 1
}
not_black() { [ "$(pixel "$1" "$2")" != "#000000" ]; }
# The brand blue of buttons: much more blue than red.
is_blue() { local p; p=$(pixel "$1" "$2"); p=${p#\#}; [ -n "$p" ] && [ $((16#${p:4:2})) -gt $((16#${p:0:2} + 60)) ]; }
