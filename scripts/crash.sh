#!/usr/bin/env bash
# The crash harness: children running the program's write workloads (bulk and line-by-line
# imports, song adds, changes and deletes, album deletes with their songs, create album entries,
# Build and Pack, moves of entries in a playlist of 300, tunarium-cli restore of a backup and repair
# of a collection with a damaged songs page, a report printed into a PDF file) are killed with
# SIGKILL at seeded random moments; after each kill the collection must pass SQLite's integrity
# check and tunarium-cli check, every count and key must agree with its table, the song count must
# be one the workload committed (after a restore: the collection before it or the backup, whole),
# the playlist's entries must be numbered 1 to 300 and name the same songs, the program must open
# and work, and the report's PDF file must be absent or a whole earlier one. A killed repair must
# leave tunarium.db in place, and a repair run again must save the songs an unbroken one saves and
# keep the damaged file once, unchanged.
# Prints the seed first (to repeat a run) and the figures at the end; fails when anything was
# damaged.
#
#   bash scripts/crash.sh                100 kills, a random seed
#   bash scripts/crash.sh 500 1234       500 kills, seed 1234
#
# Environment: CRASH_BUILD_DIR (default build: a sanitized build of tunarium-bench and
# tunarium-cli), CRASH_SONGS (songs of the collection the workloads start from, default 2000),
# CRASH_DIR (the scratch directory, default a fresh one under /dev/shm when there is one, else under
# /tmp: a kill of the process leaves what it wrote in the page cache either way, and on a memory
# file system the commits of the workloads do not wait for the disk).
set -euo pipefail
cd "$(dirname "$0")/.."
kills="${1:-100}"
seed="${2:-$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')}"
build="${CRASH_BUILD_DIR:-build}"
if [ ! -x "$build/tunarium-bench" ] || [ ! -x "$build/tunarium-cli" ]; then
  echo "crash.sh: build tunarium-bench and tunarium-cli in $build first" >&2
  exit 2
fi
scratch_root=/tmp
if [ -d /dev/shm ] && [ -w /dev/shm ]; then scratch_root=/dev/shm; fi
work="${CRASH_DIR:-$(mktemp -d "$scratch_root/tunarium-crash.XXXXXX")}"
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export TUNARIUM_CLI="$build/tunarium-cli"
export TUNARIUM_CONFIG_DIR="$work/config"
echo "crash.sh: seed $seed ($kills kills; repeat with: bash scripts/crash.sh $kills $seed)"
"$build/tunarium-bench" crash --dir "$work/run" --kills "$kills" --seed "$seed" --songs "${CRASH_SONGS:-2000}"
