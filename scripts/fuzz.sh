#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ with clang under AddressSanitizer and UndefinedBehaviorSanitizer
# and runs each of them for DURATION, as many at a time as the machine has cores. Fails when a
# target finds a crash, a leak, a hang or a broken promise: the input that did it is kept and the
# command that repeats it is printed.
#
#   bash scripts/fuzz.sh                 the short form CI runs: 40 seconds a target
#   bash scripts/fuzz.sh 30m             a long run (also 90s, 2h, or plain seconds)
#   bash scripts/fuzz.sh 5m filter ini   some targets only
#
# Environment: FUZZ_BUILD_DIR (default build-fuzz), FUZZ_JOBS (targets at a time, default the
# number of cores), FUZZ_TMPDIR (where the targets write their scratch files; default /dev/shm when
# there is one, so that they do not wear the disk).
set -euo pipefail
cd "$(dirname "$0")/.."

all_targets=()
for source in fuzz/*_fuzzer.cpp; do
  name=${source#fuzz/}
  all_targets+=("${name%_fuzzer.cpp}")
done
duration="${1:-40s}"
if [ $# -gt 0 ]; then shift; fi
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then targets=("${all_targets[@]}"); fi

case "$duration" in
  *h) seconds=$(( ${duration%h} * 3600 )) ;;
  *m) seconds=$(( ${duration%m} * 60 )) ;;
  *s) seconds=$(( ${duration%s} )) ;;
  *[!0-9]* | '') echo "fuzz.sh: DURATION is a number of seconds, or ends in s, m or h: $duration" >&2; exit 2 ;;
  *) seconds=$duration ;;
esac
for t in "${targets[@]}"; do
  if [ ! -f "fuzz/${t}_fuzzer.cpp" ]; then
    echo "fuzz.sh: no target $t (targets: ${all_targets[*]})" >&2
    exit 2
  fi
done

bash scripts/setup.sh --fuzz

build="${FUZZ_BUILD_DIR:-build-fuzz}"
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
started=$(date +%s)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTUNARIUM_FUZZ=ON \
  -DCMAKE_CXX_COMPILER=clang++-14 "${launcher[@]}" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
echo "fuzz targets built in $(( $(date +%s) - started )) s"

runs="$build/fuzz-runs"
scratch_root="${FUZZ_TMPDIR:-/dev/shm}"
[ -d "$scratch_root" ] && [ -w "$scratch_root" ] || scratch_root="$runs"
mkdir -p "$runs" "$scratch_root"
scratch=$(mktemp -d "$scratch_root/tunarium-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

run_target() {
  local t=$1 dir="$runs/$1"
  rm -rf "$dir/crashes"
  mkdir -p "$dir/corpus" "$dir/crashes" "$scratch/$t"
  local dict=()
  [ -f "fuzz/dict/$t.dict" ] && dict=(-dict="fuzz/dict/$t.dict")
  # The corpus of earlier runs comes first, so that what a run learns goes there, not into the
  # tree; the seeds of the tree are read as well.
  # ASan holds 256 MB of freed memory back by default, which with the allocator's own growth over
  # hundreds of thousands of inputs comes near libFuzzer's memory limit in a long run.
  TMPDIR="$scratch/$t" ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:quarantine_size_mb=64 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=3072 -print_final_stats=1 \
    -artifact_prefix="$dir/crashes/" "${dict[@]}" "$dir/corpus" "fuzz/corpus/$t" >"$dir/log" 2>&1
}

jobs="${FUZZ_JOBS:-$(nproc)}"
echo "running ${targets[*]} for ${seconds} s each, $jobs at a time"
declare -A pids
for t in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  run_target "$t" &
  pids[$t]=$!
done

failed=0
passed=0
printf '%-10s %14s  %s\n' target executions result
for t in "${targets[@]}"; do
  status=0
  wait "${pids[$t]}" || status=$?
  dir="$runs/$t"
  executions=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$dir/log" | tail -1 | grep -o '[0-9]*$' || echo "?")
  found=$(find "$dir/crashes" -type f | head -1)
  if [ "$status" -eq 0 ] && [ -z "$found" ]; then
    printf '%-10s %14s  %s\n' "$t" "$executions" ok
    passed=$((passed + 1))
    continue
  fi
  failed=$((failed + 1))
  printf '%-10s %14s  %s\n' "$t" "$executions" "FAILED (exit $status)"
  grep -m1 -A2 -E 'broken promise|ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error' "$dir/log" | sed 's/^/    /' || true
  echo "    log: $dir/log"
  if [ -n "$found" ]; then
    echo "    input: $found"
    echo "    repeat: $build/fuzz/fuzz_$t $found"
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
