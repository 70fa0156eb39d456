#!/usr/bin/env bash
# Installs what is missing, builds and runs every test. Usage: scripts/test.sh [--sanitize]
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
dir=$(bash scripts/build.sh "$@" | tail -n 1)

export QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1
if [ "${1:-}" = "--sanitize" ]; then
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
  export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi
cd "$dir"
ctest --output-on-failure -j"$(nproc)"
