#!/usr/bin/env bash
# Installs a built tree into a scratch DESTDIR and starts the installed client the way an installed copy runs: as
# an ordinary user, from a folder it cannot write, beside an executable folder it cannot write. It must show its
# sign-in window and keep its files in the user's data folder. Usage: scripts/install_check.sh [BUILD_DIR]
set -euo pipefail
build=$(realpath "${1:-build}")
scratch=$(mktemp -d)
client_pid=""
xvfb_pid=""
cleanup() {
  [ -n "$client_pid" ] && kill "$client_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  chmod -R u+w "$scratch" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "install check: $*" >&2; exit 1; }

root=$scratch/root
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
for f in usr/bin/lumora usr/bin/lumora-service usr/share/applications/org.lumora.Lumora.desktop \
         usr/share/metainfo/org.lumora.Lumora.metainfo.xml usr/share/icons/hicolor/48x48/apps/org.lumora.Lumora.png \
         usr/share/icons/hicolor/256x256/apps/org.lumora.Lumora.png usr/lib/systemd/system/lumora-service.service; do
  [ -e "$root/$f" ] || fail "$f not installed"
done
find "$root/usr/lib" -path '*/lumora/lumora-charts.so' | grep -q . || fail "no charts module installed"
find "$root/usr/lib" -path '*/lumora/lumora-newuser.so' | grep -q . \
  || echo "install check: no new-account page module (built without Qt WebEngine)" >&2
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/usr/share/applications/org.lumora.Lumora.desktop" || fail "desktop entry invalid"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$root/usr/share/metainfo/org.lumora.Lumora.metainfo.xml" >/dev/null \
    || fail "AppStream metadata invalid"
fi

touch "$scratch/installed"
sleep 1

# An ordinary user: root could write into the installed folder.
run_as=()
home=$scratch/home
mkdir -p "$home" "$scratch/readonly"
chmod 755 "$scratch"
if [ "$(id -u)" -eq 0 ]; then
  run_as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
  chown nobody:nogroup "$home"
fi
chmod 555 "$scratch/readonly"
data=$home/.local/share/lumora

env_args=(env -i PATH=/usr/bin:/bin HOME="$home" XDG_DATA_HOME="$home/.local/share" LANG=C.UTF-8 TMPDIR=/tmp)
if command -v Xvfb >/dev/null && command -v xdotool >/dev/null; then
  display=:$((500 + RANDOM % 400))
  Xvfb "$display" -ac -nolisten tcp -noreset -screen 0 1280x1024x24 >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do DISPLAY=$display xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
  env_args+=(DISPLAY="$display")
else
  display=""
  env_args+=(QT_QPA_PLATFORM=offscreen)
fi
(cd "$scratch/readonly" && exec "${run_as[@]}" "${env_args[@]}" "$root/usr/bin/lumora") >"$scratch/client.log" 2>&1 &
client_pid=$!

shown=0
for _ in $(seq 100); do
  kill -0 "$client_pid" 2>/dev/null || { cat "$scratch/client.log" >&2; fail "the installed client ended at start"; }
  if [ -n "$display" ]; then
    DISPLAY=$display xdotool search --onlyvisible --name "请输入口令" >/dev/null 2>&1 && shown=1
  else
    [ -f "$data/sis1.ini" ] && shown=1
  fi
  [ "$shown" -eq 1 ] && [ -f "$data/sis1.ini" ] && break
  sleep 0.1
done
[ "$shown" -eq 1 ] || fail "no sign-in window"
[ -f "$data/sis1.ini" ] || fail "sis1.ini not written to the user's data folder"
grep -q libQt6WebEngine "/proc/$client_pid/maps" 2>/dev/null && fail "the browser engine is loaded at start"
grep -q libQt6Charts "/proc/$client_pid/maps" 2>/dev/null && fail "the charts are loaded at start"
written=$(find "$root" "$scratch/readonly" -newer "$scratch/installed" -type f | grep -v '\.lock$' || true)
[ -z "$written" ] || fail "written beside the program: $written"
echo "install check: installed, sign-in shown, files in $data: $(ls "$data" | tr '\n' ' ')"
