#!/usr/bin/env bash
# Opening big files read through a limited disk (a USB stick, a network share):
#   bash bench/open_throttled.sh [BUILD_DIR] [RUNS] [MB_PER_S]
# Needs root and the cgroup v1 blkio controller. Uses the files bench/open_big.sh
# made under /tmp/keld-bench-big. Each run drops the file from the page cache, then,
# inside a cgroup whose reads from the file's disk are limited (blkio.throttle.read_bps_device),
# times the device's open to frame 0 on display (`open_index FILE open`) and mpv's
# first frame, and then, in a run of its own, how long the index takes to be whole
# (`open_index FILE`, its own clock). Prints median, p95 and slowest in seconds.
set -euo pipefail
BUILD=${1:-build}
RUNS=${2:-3}
MBS=${3:-40}
DIR=/tmp/keld-bench-big
OPEN_INDEX=$(readlink -f "$BUILD/bench/open_index")
GROUP=/sys/fs/cgroup/blkio/keld-bench-throttle
source "$(dirname "$0")/lib/open_bench.sh"
limit_reads "$GROUP" "$DIR" "$MBS"
limited() { bash -c 'echo $$ >'"$GROUP"'/tasks; exec "$@"' limited "$@"; }
printf '%-10s %-34s %8s %8s %8s\n' file "what (s, $RUNS runs, $MBS MB/s)" median p95 slowest
for name in film.mp4 film.mkv film.ts day.mp4; do
    f="$DIR/$name"
    [ -f "$f" ] || continue
    keld=() mpv=() whole=()
    for _ in $(seq "$RUNS"); do
        drop "$f"
        keld+=("$(KELD32_INDEX_CACHE_MIB=0 MALLOC_ARENA_MAX=1 QT_QPA_PLATFORM=offscreen seconds limited "$OPEN_INDEX" "$f" open)")
        drop "$f"
        mpv+=("$(seconds limited mpv --no-config --vo=null --ao=null --frames=1 "$f")")
        drop "$f"
        whole+=("$(KELD32_INDEX_CACHE_MIB=0 MALLOC_ARENA_MAX=1 KELD32_MCI_HEADLESS=1 limited "$OPEN_INDEX" "$f" 2>/dev/null | awk '{print $2}')")
    done
    printf '%-10s %-34s %s\n' "$name" "keld open, frame 0 shown" "$(printf '%s\n' "${keld[@]}" | stats)"
    printf '%-10s %-34s %s\n' "$name" "mpv first frame" "$(printf '%s\n' "${mpv[@]}" | stats)"
    printf '%-10s %-34s %s\n' "$name" "keld whole index" "$(printf '%s\n' "${whole[@]}" | stats)"
done
rmdir "$GROUP" 2>/dev/null || true
