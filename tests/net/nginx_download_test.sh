#!/usr/bin/env bash
# Downloads from a real nginx with the HTTP client: a large file delimited by Content-Length
# (through DownloadToFile and through ReceiveBody), a chunked body (nginx's sub_filter drops the
# length and sends chunks), a chunked body through DownloadToFile (refused, no file), and a 404.
# Every body must match the file on disk byte for byte. Last, a small Python server that stops
# sending in the middle of a body checks the wait's time-out and the failure notice.
#
#     nginx_download_test.sh WORK FETCH...
#
# WORK is a folder in the build tree for nginx's configuration, logs and files (emptied first);
# FETCH is the command that runs http_fetch (natively the program, under Wine "wine-run PROGRAM").
# nginx runs as an unprivileged single process on a free loopback port, and is stopped on exit.
set -uo pipefail
work=$1; shift
# The client runs in the output folder, so programs named by a relative path are made absolute.
fetch=()
for part in "$@"; do
  if [ -e "$part" ]; then fetch+=("$(realpath "$part")"); else fetch+=("$part"); fi
done
failures=0
passes=0
pass() { echo "ok   $1"; passes=$((passes + 1)); }
fail() { echo "FAIL $1"; failures=$((failures + 1)); }

nginx_bin=$(command -v nginx || echo /usr/sbin/nginx)
if [ ! -x "$nginx_bin" ]; then
  echo "FAIL nginx is not installed (scripts/setup installs it)"
  exit 1
fi

rm -rf "$work"
mkdir -p "$work/www/chunked" "$work/logs" "$work/tmp" "$work/out"

# A large binary file, and an HTML page that nginx rewrites on the way out.
head -c $((8 * 1024 * 1024 + 123)) /dev/urandom > "$work/www/large.bin"
{
  for i in $(seq 1 40); do
    echo "<p>NEEDLE $i</p>"
    head -c 60000 /dev/urandom | base64 -w 76
  done
} > "$work/www/chunked/page.html"
sed 's/NEEDLE/replaced-needle/g' "$work/www/chunked/page.html" > "$work/expected-page.html"

free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

nginx_pid=""
stop_nginx() {
  if [ -n "$nginx_pid" ]; then
    kill "$nginx_pid" 2>/dev/null
    wait "$nginx_pid" 2>/dev/null
    nginx_pid=""
  fi
}
trap stop_nginx EXIT

start_nginx() {
  port=$(free_port)
  cat > "$work/nginx.conf" <<CONF
daemon off;
master_process off;
worker_processes 1;
pid $work/nginx.pid;
error_log $work/logs/error.log;
events { worker_connections 64; }
http {
  access_log $work/logs/access.log;
  client_body_temp_path $work/tmp/body;
  proxy_temp_path $work/tmp/proxy;
  fastcgi_temp_path $work/tmp/fastcgi;
  uwsgi_temp_path $work/tmp/uwsgi;
  scgi_temp_path $work/tmp/scgi;
  types { text/html html; application/octet-stream bin; }
  default_type application/octet-stream;
  server {
    listen 127.0.0.1:$port;
    root $work/www;
    location /chunked/ {
      sub_filter 'NEEDLE' 'replaced-needle';
      sub_filter_once off;
    }
  }
}
CONF
  "$nginx_bin" -p "$work" -c "$work/nginx.conf" -e "$work/logs/error.log" &
  nginx_pid=$!
  for _ in $(seq 1 100); do
    if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then return 0; fi
    kill -0 "$nginx_pid" 2>/dev/null || break
    sleep 0.1
  done
  stop_nginx
  return 1
}

started=""
for _ in 1 2 3; do
  if start_nginx; then started=1; break; fi
done
if [ -z "$started" ]; then
  echo "FAIL nginx did not start"; cat "$work/logs/error.log" 2>/dev/null
  exit 1
fi

# run NAME MODE HOST PATH OUTPUT [TIMEOUT]: runs the client in the output folder; its report goes
# to NAME.txt and its exit code to $rc.
run() {
  local name=$1 mode=$2 host=$3 path=$4 output=$5
  shift 5
  rc=0
  (cd "$work/out" && "${fetch[@]}" "$mode" "$host" "$port" "$path" "$output" "$@") \
    >"$work/out/$name.txt" 2>"$work/out/$name.err" || rc=$?
  # A Windows program's text output ends its lines with CR LF.
  sed -i 's/\r$//' "$work/out/$name.txt"
}
report_has() { grep -qF -- "$2" "$work/out/$1.txt"; }
report_line() { grep -qxF -- "$2" "$work/out/$1.txt"; }
same() { cmp -s "$1" "$2"; }

large_size=$(stat -c %s "$work/www/large.bin")

run length-file file 127.0.0.1 /large.bin large-file.bin
if [ "$rc" = 0 ] && report_has length-file "content-length: $large_size" && report_has length-file "last percent: 100" \
   && same "$work/www/large.bin" "$work/out/large-file.bin"; then
  pass "Content-Length body through DownloadToFile ($large_size bytes)"
else
  fail "Content-Length body through DownloadToFile: exit $rc, $(cat "$work/out/length-file.txt" "$work/out/length-file.err")"
fi

run length-body body localhost /large.bin large-body.bin
if [ "$rc" = 0 ] && same "$work/www/large.bin" "$work/out/large-body.bin"; then
  pass "Content-Length body through ReceiveBody, host looked up by name"
else
  fail "Content-Length body through ReceiveBody: exit $rc, $(cat "$work/out/length-body.txt" "$work/out/length-body.err")"
fi

run chunked-body body 127.0.0.1 /chunked/page.html page.html
if [ "$rc" = 0 ] && report_line chunked-body "transfer-encoding: chunked" \
   && report_line chunked-body "content-length: " && same "$work/expected-page.html" "$work/out/page.html"; then
  pass "chunked body through ReceiveBody ($(stat -c %s "$work/expected-page.html") bytes)"
else
  fail "chunked body through ReceiveBody: exit $rc, $(cat "$work/out/chunked-body.txt" "$work/out/chunked-body.err")"
fi

run chunked-file file 127.0.0.1 /chunked/page.html refused.html
if [ "$rc" != 0 ] && report_has chunked-file "transfer-encoding: chunked" && [ ! -e "$work/out/refused.html" ]; then
  pass "chunked body through DownloadToFile is refused without creating the file"
else
  fail "chunked body through DownloadToFile: exit $rc, file $(ls "$work/out/refused.html" 2>&1)"
fi

# nginx logs the request line and the User-Agent header as it received them.
if grep -qF '"GET /large.bin HTTP/1.1" 200 '"$large_size"' "-" "CHttpAgent"' "$work/logs/access.log"; then
  pass "request line and headers arrive as sent"
else
  fail "request as logged: $(head -c 2000 "$work/logs/access.log")"
fi

run missing file 127.0.0.1 /missing.bin missing.bin
if [ "$rc" != 0 ] && report_has missing "status: 404"; then
  pass "missing file answers 404"
else
  fail "missing file: exit $rc, $(cat "$work/out/missing.txt")"
fi

stop_nginx

# A server that answers with a length of 1000, sends ten bytes and then nothing: with a one-second
# time-out the download ends with the failure notice and leaves the ten bytes in the file.
python3 - "$work/stall.port" <<'PY' &
import socket, sys
server = socket.socket()
server.bind(("127.0.0.1", 0))
server.listen(1)
server.settimeout(60)
with open(sys.argv[1] + ".tmp", "w") as f:
    f.write(str(server.getsockname()[1]))
import os
os.rename(sys.argv[1] + ".tmp", sys.argv[1])
connection, _ = server.accept()
connection.settimeout(60)
request = b""
while b"\r\n\r\n" not in request:
    piece = connection.recv(4096)
    if not piece:
        break
    request += piece
connection.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n0123456789")
try:
    while connection.recv(4096):
        pass
except OSError:
    pass
PY
stall_pid=$!
for _ in $(seq 1 100); do [ -e "$work/stall.port" ] && break; sleep 0.1; done
port=$(cat "$work/stall.port" 2>/dev/null)
run stalled file 127.0.0.1 /stalled stalled.bin 1
if [ "$rc" != 0 ] && report_has stalled "last percent: -1, received: 10" \
   && [ "$(cat "$work/out/stalled.bin" 2>/dev/null)" = 0123456789 ]; then
  pass "stalled download times out with the failure notice and keeps the partial file"
else
  fail "stalled download: exit $rc, $(cat "$work/out/stalled.txt")"
fi
kill "$stall_pid" 2>/dev/null
wait "$stall_pid" 2>/dev/null

echo "$passes passed, $failures failed"
[ "$failures" = 0 ]
