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

# ccache, where present, lets several checkouts of the tree share their objects.
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$PWD")}" CCACHE_NOHASHDIR=1 CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
  args+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

cmake -S . -B "$dir" "${args[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
echo "$dir"
