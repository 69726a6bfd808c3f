#!/usr/bin/env bash
# The packing tool as a publisher uses it, on the real stub: builds, refusals with one-line
# errors, inspection of installers, uninstaller copies and broken files.
set -uo pipefail
mk=$1 stub=$2 payload=$3 licence=$4
work=$(mktemp -d /tmp/mkinstaller-cli-XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
name='Varnholt手机助手苹果版'
pass() { echo "ok   $1"; }
fail() { echo "FAIL $1"; failures=$((failures + 1)); }

# expect_refusal NAME EXIT_CODE MESSAGE_PART -- command...
expect_refusal() {
  local label=$1 want=$2 part=$3; shift 4
  local rc=0
  "$@" >out.txt 2>err.txt || rc=$?
  if [ "$rc" = "$want" ] && [ "$(wc -l <err.txt)" = 1 ] && grep -qF -- "$part" err.txt && [ ! -e refused.exe ]; then
    pass "$label"
  else
    fail "$label: exit $rc, stderr: $(cat err.txt)"
  fi
}
expect_out() {  # expect_out NAME FILE TEXT
  if grep -qF -- "$3" "$2"; then pass "$1"; else fail "$1: missing '$3' in $2"; fi
}

"$mk" --help >help.txt && expect_out help help.txt "mkinstaller build --stub"
expect_refusal no-command 1 "no command" -- "$mk"
expect_refusal unknown-option 1 "unknown option" -- "$mk" build --bogus

build() { "$mk" build --stub "$stub" --payload "$payload" "$@"; }
if build -o setup.exe --lastrun lumetra_ios.exe --licence "$licence" \
     --desktop-shortcut "$name=lumetra_ios.exe" --taskbar-shortcut "$name=lumetra_ios.exe" >build.txt; then
  pass build
else
  fail build
fi
"$mk" inspect setup.exe >inspect.txt 2>&1 || fail "inspect exit $?"
expect_out inspect-kind inspect.txt "kind: installer"
expect_out inspect-offset inspect.txt "trailer offset T: $(stat -c %s "$stub")"
expect_out inspect-lastrun inspect.txt "lastrun: lumetra_ios.exe"
expect_out inspect-shortcut inspect.txt "shortcut desktop: \"$name\" -> lumetra_ios.exe"
expect_out inspect-licence inspect.txt "$name 软件许可协议"
expect_out inspect-entries inspect.txt "资源/连接说明.txt"
expect_out inspect-config inspect.txt '"mode":1,"protocol":"'
size=$(stat -c %s setup.exe)
[ $((size % 8)) = 0 ] && pass padded || fail "padded: size $size"

# A package used as the stub: its old trailer is dropped, not nested.
"$mk" build --stub setup.exe --payload "$payload" -o again.exe --lastrun lumetra_ios.exe >/dev/null \
  && "$mk" inspect again.exe >again.txt && expect_out restub again.txt "trailer offset T: $(stat -c %s "$stub")"

# --config-raw embeds the bytes exactly.
printf '{"mode":1 , "x":"\xCA\xD6"}  trailing' >raw.json
build -o raw.exe --config-raw raw.json >/dev/null
t=$(stat -c %s "$stub")
if cmp -s raw.json <(tail -c +$((t + 5)) raw.exe | head -c "$(stat -c %s raw.json)"); then pass config-raw; else fail config-raw; fi

# --config takes UTF-8 JSON and stores it in code page 936.
printf '{"mode":1,"lastrun":"lumetra_ios.exe","shortcut":{"desktop":[{"file":"data/settings.ini","name":"设置"}]}}' >c.json
build -o cfg.exe --config c.json >/dev/null && "$mk" inspect cfg.exe >cfg.txt && expect_out config-json cfg.txt 'shortcut desktop: "设置" -> data/settings.ini'
if LC_ALL=C grep -qaF "$(printf '\xC9\xE8\xD6\xC3')" cfg.exe; then pass config-gbk; else fail "config-gbk: no GBK bytes"; fi

expect_refusal missing-lastrun 1 'no file "nothere.exe"' -- build -o refused.exe --lastrun nothere.exe
expect_refusal missing-shortcut-target 1 'no file "data"' -- build -o refused.exe --desktop-shortcut "x=data"
expect_refusal not-gbk 1 "code page 936 cannot represent" -- build -o refused.exe --desktop-shortcut "한국=lumetra_ios.exe"
printf '{"mode":1,"lastrun":"\\u0041.exe"}' >esc.json
expect_refusal unicode-escape 1 "escapes" -- build -o refused.exe --config esc.json
printf '{"lastrun":"lumetra_ios.exe"}' >nomode.json
expect_refusal config-without-mode 1 '"mode"' -- build -o refused.exe --config nomode.json
expect_refusal two-configs 1 "one way only" -- build -o refused.exe --config c.json --lastrun lumetra_ios.exe
expect_refusal not-a-stub 1 "MZ" -- "$mk" build --stub "$licence" --payload "$payload" -o refused.exe --lastrun lumetra_ios.exe
python3 - <<'PY'
import zipfile
with zipfile.ZipFile("evil.zip", "w") as z:
    z.writestr("lumetra_ios.exe", "MZ")
    z.writestr("../evil.txt", "escape")
PY
expect_refusal zip-traversal 1 "'..' part" -- "$mk" build --stub "$stub" --payload evil.zip -o refused.exe --lastrun lumetra_ios.exe

# Broken files: which bound failed, exit code 2.
expect_refusal bare-stub 2 "trailer offset out of bounds" -- "$mk" inspect "$stub"
head -c $((t + 100)) setup.exe >cut.exe
expect_refusal truncated-config 2 "configuration out of bounds" -- "$mk" inspect cut.exe
head -c $((size - 20)) setup.exe >short.exe
expect_refusal truncated-payload 2 "payload out of bounds" -- "$mk" inspect short.exe

# An uninstaller copy: the image up to T, then the manifest alone.
root=$(printf 'C:\\Program Files (x86)\\lumetra(ios)' | base64 -w0)
file=$(printf 'C:\\Program Files (x86)\\lumetra(ios)\\资源\\连接说明.txt' | base64 -w0)
manifest="{\"files\":[\"$file\"],\"folders\":[],\"mode\":0,\"setup\":{\"root\":\"$root\",\"shortcut\":{}}}"
{ head -c "$t" setup.exe; python3 -c "import struct,sys; sys.stdout.buffer.write(struct.pack('<I', ${#manifest} + 1))"; echo "$manifest"; } >unins001.exe
"$mk" inspect unins001.exe >unins.txt 2>&1 || fail "inspect uninstaller exit $?"
expect_out uninstaller-kind unins.txt "kind: uninstaller"
expect_out uninstaller-root unins.txt 'root: C:\Program Files (x86)\lumetra(ios)'
expect_out uninstaller-files unins.txt '资源\连接说明.txt'

echo "mkinstaller cli: $failures failure(s)"
[ "$failures" = 0 ]
