#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (tree build-fuzz/) and runs each for SECONDS (default 30).
# Crash inputs land in build-fuzz/fuzz-artifacts/<target>/; once the fault is mended, keep the input under
# tests/fuzz/regressions/<target>/ so the ordinary suite replays it. Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
dir=build-fuzz
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -g -O1"

cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DLUMORA_FUZZ=ON -DLUMORA_BUILD_BENCH=OFF >/dev/null
cmake --build "$dir" -j"$(nproc)" --target lumora_fuzzers

targets=(reply base64 des datetext halfwidth inifile settings formbody routes)
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 TZ=Asia/Shanghai

failed=()
summary=()
for t in "${targets[@]}"; do
  work="$dir/fuzz-work/$t"
  artifacts="$dir/fuzz-artifacts/$t"
  rm -rf "$work"
  mkdir -p "$work" "$artifacts"
  log="$dir/fuzz-$t.log"
  echo "== fuzz_$t for ${seconds}s"
  # The seed corpus stays untouched; new inputs go to the work folder.
  if "$dir/tests/fuzz/fuzz_$t" -seed=1 -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2560 -max_len=8192 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" "$work" "tests/fuzz/corpus/$t" \
    "tests/fuzz/regressions/$t" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    summary+=("fuzz_$t: ${runs:-?} executions, no crash")
  else
    failed+=("$t")
    summary+=("fuzz_$t: FAILED, see $log and $artifacts")
    tail -40 "$log"
  fi
done

printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "crashes in: ${failed[*]}" >&2
  exit 1
fi
