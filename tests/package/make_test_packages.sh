#!/usr/bin/env bash
# Makes the packages the Windows tests read: the real stub packed with the sample payload, the
# same package signed with a throw-away certificate, and the probe packed with a fixed
# configuration.
set -euo pipefail
mkinstaller=$1 stub=$2 probe=$3 payload=$4 licence=$5 out=$6
mkdir -p "$out"
cd "$out"

name='Varnholt手机助手苹果版'
"$mkinstaller" build --stub "$stub" --payload "$payload" -o packed_setup.exe \
  --lastrun lumetra_ios.exe --licence "$licence" \
  --desktop-shortcut "$name=lumetra_ios.exe" --taskbar-shortcut "$name=lumetra_ios.exe"

if [ ! -f signing.key ]; then
  openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj "/CN=Quorvil Test Signing" \
    -keyout signing.key -out signing.crt >/dev/null 2>&1
fi
"$mkinstaller" build --stub "$stub" --payload "$payload" -o signed_setup.exe \
  --lastrun lumetra_ios.exe --licence "$licence" \
  --desktop-shortcut "$name=lumetra_ios.exe" --taskbar-shortcut "$name=lumetra_ios.exe" \
  --sign-cert signing.crt --sign-key signing.key

cp "$probe" probe_stub.exe
