#!/usr/bin/env bash
# Installs every Debian package the project needs. Safe to run again: it only installs what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  qt6-webengine-dev qt6-webengine-dev-tools
  libcpp-httplib-dev libsqlite3-dev sqlite3 libsodium-dev
  libpugixml-dev qt6-charts-dev libpq-dev postgresql libfontconfig-dev
  appstream desktop-file-utils
  fonts-wqy-microhei xvfb xauth imagemagick wrk xdotool
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
