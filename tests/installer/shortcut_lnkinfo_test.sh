#!/usr/bin/env bash
# Creates shortcuts with the program's own code under Wine, then reads them with liblnk's lnkinfo
# on the Linux side of the prefix: target and working folder must be what Windows would see.
# The link stores its local path in the ANSI code page, 936 under the test locale.
set -uo pipefail
wine_run=$1 probe=$2
top=$(cd "$(dirname "$0")/../.." && pwd)
prefix=${WINEPREFIX:-$top/build/wineprefix}
"$wine_run" "$probe" || { echo "FAIL probe exit $?"; exit 1; }
dir="$prefix/drive_c/qv-lnk"
failures=0
check() {  # check FILE FIELD VALUE
  local line
  line=$(lnkinfo -c windows-936 "$dir/$1" 2>/dev/null | grep -F "$2" | head -1 | sed 's/^[^:]*: *//')
  if [ "$line" = "$3" ]; then echo "ok   $1 $2: $line"; else echo "FAIL $1 $2: '$line' (want '$3')"; failures=$((failures + 1)); fi
}
check file.lnk "Local path" 'C:\qv-lnk\lumetra_ios.exe'
check file.lnk "Working directory" 'C:\qv-lnk'
check folder.lnk "Local path" 'C:\qv-lnk\资源'
check folder.lnk "Working directory" 'C:\qv-lnk\资源'
rm -rf "$dir"
[ "$failures" = 0 ]
