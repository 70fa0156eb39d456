#!/usr/bin/env bash
# Loopback load test of lumora-service on an account of 100,000 records, with wrk:
# the newest-records page, a month query and a save. Usage: bench/server/run_bench.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:-$here/../../build}" && pwd)"
seconds="${2:-10}"
connections="${CONNECTIONS:-8}"

command -v wrk >/dev/null || { echo "wrk is missing (scripts/setup.sh installs it)" >&2; exit 1; }
work="$(mktemp -d)"
service_pid=""
cleanup() {
  if [ -n "$service_pid" ]; then kill "$service_pid" 2>/dev/null || true; wait "$service_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

"$build/bench/server/bench_service_seed" "$work/bench.sqlite" 100000
"$build/server/lumora-service" --listen 127.0.0.1:0 --db "$work/bench.sqlite" >"$work/out" 2>/dev/null &
service_pid=$!
for _ in $(seq 100); do grep -q '^listening on' "$work/out" 2>/dev/null && break; sleep 0.1; done
port="$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$work/out")"
[ -n "$port" ] || { echo "the service did not start" >&2; exit 1; }
url="http://127.0.0.1:$port/ms/kessum/kessum_sqlite_post.php"
month="$(date +%Y-%m)-15+12%3A00%3A00"

run() {
  local name="$1" body="$2"
  cat >"$work/$name.lua" <<LUA
wrk.method = "POST"
wrk.headers["Content-Type"] = "application/x-www-form-urlencoded; charset=gbk"
local base = "user_name=bench&user_pass=bench&input_user=bench&client_type=pc&protocol_version=1.0&$body"
local counter = 0
local threads = 0
function setup(thread)
  threads = threads + 1
  thread:set("id", threads)
end
function request()
  counter = counter + 1
  local body = base:gsub("GUID", "%%7BBENCH-" .. (id or 0) .. "-" .. counter .. "%%7D")
  return wrk.format(nil, nil, nil, body)
end
LUA
  echo "== $name ($connections connections, ${seconds}s)"
  wrk -t2 -c"$connections" -d"${seconds}s" --latency -s "$work/$name.lua" "$url" |
    grep -E 'Requests/sec|Latency  |50%|90%|99%|Non-2xx|Socket errors'
}

# The first request verifies the password (argon2); the rest hit the cache of verified pairs.
curl -s -o /dev/null -d 'user_name=bench&user_pass=bench&action=login' "http://127.0.0.1:$port/ms/kessum/kessum_login.php"

run newest_page "action=data&input_user=bench&mini_money=&page=0&"
run month_query "action=data&page=0&mini_money=&month1=$month&create_time=$month&"
run save "action=add&user_name=bench&user_pass=bench&input_user=bench&name1=%CE%E7%B7%B9&money1=12.5&in1=0&type1=%B2%CD%D2%FB&create_time=2015-01-13&year1=2015&month1=1&day1=13&date1=2015-1-13&id_guid=GUID&"

# Every save must have been stored, not just answered: the account grew by the number of saves.
curl -s -d 'user_name=bench&user_pass=bench&action=data&page=0&' "$url" | grep -o 'RecCount="[0-9]*"' |
  sed 's/RecCount="\([0-9]*\)"/records after the saves: \1 (100000 before)/'
