#!/usr/bin/env bash
# Runs the probe packed in several ways under Wine: it must find its own trailer, print its
# configuration byte for byte as the writer wrote it, and refuse broken packages.
set -euo pipefail
wine_run=$1 mkinstaller=$2 data=$3 fixtures=$4
cd "$data"
work=$(mktemp -d /tmp/probe-XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check NAME EXPECTED_EXIT EXPECTED_OUTPUT_FILE EXE
  local name=$1 want_rc=$2 want=$3 exe=$4 rc=0
  "$wine_run" "$exe" > "$work/$name.out" 2>/dev/null || rc=$?
  if [ "$rc" != "$want_rc" ] || ! cmp -s "$work/$name.out" "$want"; then
    echo "FAIL $name: exit $rc (want $want_rc)"; diff <(od -c "$want") <(od -c "$work/$name.out") | head -20 || true
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

# A tiny archive for the probe's payload.
mkdir -p "$work/payload"; echo hello > "$work/payload/a.txt"
config="$fixtures/probe_config_gbk.json"

"$mkinstaller" build --stub probe_stub.exe --payload "$work/payload" -o "$work/probe.exe" --config-raw "$config" >/dev/null
{ echo "role: installer"; cat "$config"; } > "$work/want-installer"
check installer 0 "$work/want-installer" "$work/probe.exe"

if [ -f signing.crt ]; then
  "$mkinstaller" build --stub probe_stub.exe --payload "$work/payload" -o "$work/probe-signed.exe" \
    --config-raw "$config" --sign-cert signing.crt --sign-key signing.key >/dev/null
  check signed 0 "$work/want-installer" "$work/probe-signed.exe"
fi

# An uninstaller copy: the image up to T, then only the manifest.
manifest="$fixtures/probe_manifest.json"
t=$(od -An -tu4 -j$(( $(od -An -tu4 -j60 -N4 "$work/probe.exe") - 4 )) -N4 "$work/probe.exe" | tr -d ' ')
head -c "$t" "$work/probe.exe" > "$work/unins001.exe"
python3 -c "import struct,sys; sys.stdout.buffer.write(struct.pack('<I', $(stat -c %s "$manifest")))" >> "$work/unins001.exe"
cat "$manifest" >> "$work/unins001.exe"
{ echo "role: uninstaller"; cat "$manifest"; } > "$work/want-uninstaller"
check uninstaller 10 "$work/want-uninstaller" "$work/unins001.exe"

# Broken packages are refused: the bare stub (T = 0), a configuration cut short by truncating
# the file, and a configuration without "mode".
echo "role: rejected (unreadable package)" > "$work/want-rejected"
check bare-stub 3 "$work/want-rejected" probe_stub.exe
head -c $(( t + 10 )) "$work/probe.exe" > "$work/truncated.exe"
check truncated 3 "$work/want-rejected" "$work/truncated.exe"
printf '{"lastrun":"a.txt"}\n' > "$work/nomode.json"
"$mkinstaller" build --stub probe_stub.exe --payload "$work/payload" -o "$work/nomode.exe" --config-raw "$work/nomode.json" >/dev/null
echo "role: rejected (no mode)" > "$work/want-nomode"
check no-mode 3 "$work/want-nomode" "$work/nomode.exe"

echo "packed probe: $failures failure(s)"
[ "$failures" = 0 ]
