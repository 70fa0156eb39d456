#!/usr/bin/env bash
# Loopback load test of lumora-service on an account of 100,000 records, with wrk: the newest-records page, a
# month query and a save, then the newest page of a household on 4 connections alone and while strangers send
# wrong passwords for the same account on 8 more. Runs on SQLite, then on PostgreSQL (a throwaway cluster of the system's server, default
# settings, fsync on) with one service process and with two processes on the one database behind one address.
# Usage: bench/server/run_bench.sh [BUILD_DIR] [SECONDS]
# ENGINES="sqlite postgresql" picks the engines; CONNECTIONS (8) the connections per run. wrk runs 2 threads; the
# services run with their defaults (request threads, and database connections as many as request threads).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:-$here/../../build}" && pwd)"
seconds="${2:-10}"
connections="${CONNECTIONS:-8}"
household="${HOUSEHOLD_CONNECTIONS:-4}"
flood="${FLOOD_CONNECTIONS:-8}"
engines="${ENGINES:-sqlite postgresql}"

command -v wrk >/dev/null || { echo "wrk is missing (scripts/setup.sh installs it)" >&2; exit 1; }
work="$(mktemp -d)"
chmod 755 "$work"
service_pids=()
pg_bin="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)"
as_pg=()
[ "$(id -u)" -ne 0 ] || as_pg=(runuser -u postgres --)
cleanup() {
  stop_services
  if [ -d "$work/pg/data" ]; then
    "${as_pg[@]}" "$pg_bin/pg_ctl" -D "$work/pg/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
stop_services() {
  for pid in "${service_pids[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
  service_pids=()
}
trap cleanup EXIT

# Starts one service on DB, on 127.0.0.1:PORT (default: a free port); leaves its port in $port.
start_service() {
  local db="$1" out="$work/out.${#service_pids[@]}"
  "$build/server/lumora-service" --listen "127.0.0.1:${2:-0}" --db "$db" >"$out" 2>/dev/null &
  service_pids+=($!)
  for _ in $(seq 100); do grep -q '^listening on' "$out" 2>/dev/null && break; sleep 0.1; done
  port="$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$out")"
  [ -n "$port" ] || { echo "the service did not start" >&2; exit 1; }
  # The first request verifies the password (argon2); the rest hit the cache of verified pairs. Several, so
  # each process behind a shared address has had one.
  for _ in 1 2 3 4 5 6; do
    curl -s -o /dev/null -d 'user_name=bench&user_pass=bench&action=login' \
      "http://127.0.0.1:$port/ms/kessum/kessum_login.php"
  done
}

month="$(date +%Y-%m)-15+12%3A00%3A00"

# script NAME BODY [PASSWORD]: a wrk script posting BODY after the session fields, GUID made unique per request.
# Every script gets its own tag in the GUID: wrk's random numbers repeat from run to run, so without it the saves
# of a later run would update the records of an earlier one instead of adding new ones.
scripts_made=0
script() {
  local name="$1" body="$2" password="${3:-bench}"
  scripts_made=$((scripts_made + 1))
  cat >"$work/$name.lua" <<LUA
wrk.method = "POST"
wrk.headers["Content-Type"] = "application/x-www-form-urlencoded; charset=gbk"
local base = "user_name=bench&user_pass=$password&input_user=bench&client_type=pc&protocol_version=1.0&$body"
local counter = 0
local threads = {}
refused = 0
function setup(thread)
  table.insert(threads, thread)
  thread:set("id", #threads)
end
function request()
  counter = counter + 1
  local body = base:gsub("GUID", "%%7BBENCH-$scripts_made-" .. (id or 0) .. "-" .. counter .. "-" .. math.random(1e9) .. "%%7D")
  return wrk.format(nil, nil, nil, body)
end
-- A refusal is an HTTP 200 too: count the replies that say no.
function response(status, headers, body)
  if not body:find('Value="1"', 1, true) then refused = refused + 1 end
end
function done(summary, latency, requests)
  local total = 0
  for _, thread in ipairs(threads) do total = total + thread:get("refused") end
  io.write(string.format("  Refused replies: %d\n", total))
end
LUA
}

# run NAME BODY [CONNECTIONS]
run() {
  local name="$1" body="$2" count="${3:-$connections}"
  script "$name" "$body"
  echo "== $name ($count connections, ${seconds}s)"
  wrk -t2 -c"$count" -d"${seconds}s" --latency -s "$work/$name.lua" "$url" |
    grep -E 'Requests/sec|Latency  |50%|90%|99%|Non-2xx|Socket errors|Refused'
}

# The service (or services) behind $port.
bench_all() {
  url="http://127.0.0.1:$port/ms/kessum/kessum_sqlite_post.php"
  login_url="http://127.0.0.1:$port/ms/kessum/kessum_login.php"
  run newest_page "action=data&input_user=bench&mini_money=&page=0&"
  run month_query "action=data&page=0&mini_money=&month1=$month&create_time=$month&"
  run save "action=add&user_name=bench&user_pass=bench&input_user=bench&name1=%CE%E7%B7%B9&money1=12.5&in1=0&type1=%B2%CD%D2%FB&create_time=2015-01-13&year1=2015&month1=1&day1=13&date1=2015-1-13&id_guid=GUID&"

  # Every save must have been stored, not just answered: the account grew by the number of saves.
  curl -s -d 'user_name=bench&user_pass=bench&action=data&page=0&' "$url" | grep -o 'RecCount="[0-9]*"' |
    sed 's/RecCount="\([0-9]*\)"/records after the saves: \1 (100000 seeded)/'

  # The household's newest page alone, then while strangers guess its password as fast as they are answered
  # (each guess differs; GUID stands in for a counter). The flood starts first and ends after the measurement.
  # The strangers share the household's address here, so the household must have signed in lately (the cache
  # of verified pairs) to pass their throttle: sign in again first.
  for _ in 1 2 3 4 5 6; do curl -s -o /dev/null -d 'user_name=bench&user_pass=bench&action=login' "$login_url"; done
  run household_alone "action=data&input_user=bench&mini_money=&page=0&" "$household"
  script flood "action=login&guess=GUID&" "wrong-GUID"
  wrk -t1 -c"$flood" -d"$((seconds + 4))s" -s "$work/flood.lua" "$login_url" >"$work/flood.out" 2>&1 &
  local flood_pid=$!
  sleep 2
  run household_under_flood "action=data&input_user=bench&mini_money=&page=0&" "$household"
  wait "$flood_pid"
  echo "== wrong-password flood ($flood connections, $((seconds + 4))s, all refused)"
  grep -E 'Requests/sec|Non-2xx|Socket errors|Refused' "$work/flood.out"
}

for engine in $engines; do
  case "$engine" in
  sqlite)
    echo "#### SQLite"
    "$build/bench/server/bench_service_seed" "$work/bench.sqlite" 100000
    start_service "$work/bench.sqlite"
    bench_all
    stop_services
    ;;
  postgresql)
    [ -n "$pg_bin" ] || { echo "no PostgreSQL server binaries (the postgresql package)" >&2; exit 1; }
    echo "#### PostgreSQL (${pg_bin%/bin})"
    mkdir "$work/pg"
    [ "$(id -u)" -ne 0 ] || chown postgres "$work/pg"
    "${as_pg[@]}" "$pg_bin/initdb" -D "$work/pg/data" -U postgres -A trust -E UTF8 >/dev/null
    pg_port="$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
    "${as_pg[@]}" "$pg_bin/pg_ctl" -D "$work/pg/data" -l "$work/pg/log" -w \
      -o "-c listen_addresses=127.0.0.1 -p $pg_port -k $work/pg -c shared_buffers=256MB -c max_connections=100" \
      start >/dev/null
    "${as_pg[@]}" "$pg_bin/createdb" -h 127.0.0.1 -p "$pg_port" -U postgres bench
    uri="postgresql://postgres@127.0.0.1:$pg_port/bench"
    "$build/bench/server/bench_service_seed" "$uri" 100000
    echo "### one service process"
    start_service "$uri"
    bench_all
    # The second listens on the same address (SO_REUSEPORT): the kernel spreads wrk's connections over both.
    echo "### two service processes on the one database, behind one address"
    start_service "$uri" "$port"
    bench_all
    stop_services
    ;;
  *) echo "unknown engine $engine" >&2; exit 2 ;;
  esac
done
