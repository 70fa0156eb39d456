#!/usr/bin/env bash
# Start-up of lumora against a bare Qt window (a 50-row table of Chinese text), both built in the same tree, run
# alternately under Xvfb. Prints the medians of exec to the first window mapped and of resident memory 1.5 s
# later, their ratios, and exec to the main window mapped after a sign-in typed here against a local service;
# then bench_first_page: the sign-in reply to the first page shown in the grid.
# Usage: bench/startup/run_startup_bench.sh [ROUNDS] [BUILD_DIR]     (defaults: 7, build)
set -euo pipefail
cd "$(dirname "$0")/../.."
rounds=${1:-7}
build=$(realpath "${2:-build}")
probe=$build/bench/startup/bench_map_probe
bare=$build/bench/startup/bench_bare_window
first=$build/bench/startup/bench_first_page
for f in "$probe" "$bare" "$first" "$build/app/lumora" "$build/server/lumora-service"; do
  [ -x "$f" ] || { echo "missing $f: build first (bash scripts/build.sh)" >&2; exit 2; }
done

work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"; }
trap cleanup EXIT

# A display of our own.
display=:$((90 + RANDOM % 400))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
"$build/server/lumora-service" --listen "127.0.0.1:$port" --db "$work/service.db" --demo > "$work/service.log" 2>&1 &
pids+=($!)
for _ in $(seq 300); do grep -q "demo account ready" "$work/service.log" && break; sleep 0.1; done

# A portable copy of the client (its folder is writable, so its files stay beside it) pointed at the service.
client=$work/client
mkdir -p "$client"
cp "$build/app/lumora" "$client/"
for module in lumora-newuser lumora-charts; do
  [ -f "$build/app/$module.so" ] && cp "$build/app/$module.so" "$client/"
done
printf '[设置]\r\n服务地址=http://127.0.0.1:%s/ms/kessum/\r\n备用服务地址=http://127.0.0.1:%s/ms/kessum/\r\n' "$port" "$port" \
  | iconv -f UTF-8 -t GBK > "$client/sis1.ini.bench"
fresh() { rm -f "$client"/*.xml "$client"/*.txt "$client"/lumora.ini; cp "$client/sis1.ini.bench" "$client/sis1.ini"; }

: > "$work/bare" ; : > "$work/lumora" ; : > "$work/signin"
for r in $(seq "$rounds"); do
  "$probe" -- "$bare" >> "$work/bare"
  fresh; "$probe" -- "$client/lumora" >> "$work/lumora"
  fresh; "$probe" --sign-in demo demo -- "$client/lumora" >> "$work/signin" || echo "round $r: main window not mapped" >&2
  echo "round $r/$rounds" >&2
done

# median KEY FILE
median() { grep -o "$1=[0-9.]*" "$2" | cut -d= -f2 | sort -g | awk '{v[NR]=$1} END {print (NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)}'; }
bt=$(median map_ms "$work/bare");  br=$(median rss_kib "$work/bare")
lt=$(median map_ms "$work/lumora"); lr=$(median rss_kib "$work/lumora")
mt=$(median main_ms "$work/signin"); me=$(median enter_to_main_ms "$work/signin"); mr=$(median main_rss_kib "$work/signin")
engine=$(grep -c "engine=1" "$work/lumora" || true)
awk -v bt="$bt" -v br="$br" -v lt="$lt" -v lr="$lr" -v mt="$mt" -v me="$me" -v mr="$mr" -v n="$rounds" -v e="$engine" 'BEGIN {
  printf "rounds %d, medians\n", n
  printf "bare window     map %7.1f ms   rss %6.1f MiB\n", bt, br/1024
  printf "lumora sign-in  map %7.1f ms   rss %6.1f MiB   (browser engine, charts or GL loaded in %d of %d runs)\n", lt, lr/1024, e, n
  printf "ratio           map %7.2f x    rss %6.2f x     (targets <= 1.30 x and <= 1.50 x)\n", lt/bt, lr/br
  if (mt == "") print "main window     not mapped after the typed sign-in"; else printf "main window     exec to map %7.1f ms, last Enter to map %6.1f ms, rss %6.1f MiB\n", mt, me, mr/1024
}'
QT_QPA_PLATFORM=offscreen "$first" "http://127.0.0.1:$port/ms/kessum/" "$rounds" 2>/dev/null
