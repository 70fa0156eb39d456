#!/usr/bin/env bash
# Configures and builds one tree. Usage: scripts/build.sh [--sanitize] [--no-tests]
set -euo pipefail
cd "$(dirname "$0")/.."

dir=build
args=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo)
for a in "$@"; do
  case "$a" in
    --sanitize) dir=build-asan; args+=(-DLUMORA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DLUMORA_BUILD_BENCH=OFF) ;;
    --no-tests) args+=(-DLUMORA_BUILD_TESTS=OFF -DLUMORA_BUILD_BENCH=OFF) ;;
    *) echo "unknown option $a" >&2; exit 2 ;;
  esac
done

cmake -S . -B "$dir" "${args[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
echo "$dir"
