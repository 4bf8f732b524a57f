#!/usr/bin/env bash
# How soon the player answers Ctrl+Q while a big file opens, as a user sees it:
#   bash bench/keys_during_open.sh [BUILD_DIR] [RUNS] [MB_PER_S]
# Uses the files bench/open_big.sh made under /tmp/keld-bench-big. Each run drops
# the file from the page cache, starts the player with it on the command line under
# a virtual X server (read through a limit of MB_PER_S when it is not 0: root and the
# cgroup v1 blkio controller, as bench/open_throttled.sh), focuses the panel as soon
# as it appears and sends Ctrl+Q 0.2 s later, while the open still runs. Printed:
# seconds from the key to the program's end (its shutdown included), median, p95
# and slowest; and the same with no file open, for the shutdown alone.
set -euo pipefail
BUILD=$(readlink -f "${1:-build}")
RUNS=${2:-5}
MBS=${3:-0}
DIR=/tmp/keld-bench-big
if [ -z "${KELD_BENCH_INNER:-}" ]; then
    exec bash "$(dirname "$0")/../tests/e2e/lib/xvfb-run-own.sh" -s "-screen 0 1280x1024x24" \
        env KELD_BENCH_INNER=1 bash "$0" "$BUILD" "$RUNS" "$MBS"
fi
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"; rmdir "$GROUP" 2>/dev/null || true' EXIT
export XDG_CONFIG_HOME=$WORK/config XDG_CACHE_HOME=$WORK/cache XDG_RUNTIME_DIR=$WORK/run
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb KELD32_ERRORS_TO_STDERR=1 KELD32_INDEX_CACHE_MIB=0
GROUP=/sys/fs/cgroup/blkio/keld-bench-keys
limited() { "$@"; }
if [ "$MBS" != 0 ]; then
    DEV=$(findmnt -n -o MAJ:MIN -T "$DIR" | head -1)
    DISK=$(lsblk -no PKNAME "$(findmnt -n -o SOURCE -T "$DIR")" 2>/dev/null || true)
    [ -n "$DISK" ] && DEV=$(lsblk -dno MAJ:MIN "/dev/$DISK" | tr -d ' ')
    mkdir -p "$GROUP"
    echo "$DEV $((MBS * 1024 * 1024))" >"$GROUP/blkio.throttle.read_bps_device"
    limited() { bash -c 'echo $$ >'"$GROUP"'/tasks; exec "$@"' limited "$@"; }
fi
drop() { python3 -c "import os,sys; fd=os.open(sys.argv[1],os.O_RDONLY); os.posix_fadvise(fd,0,0,os.POSIX_FADV_DONTNEED); os.close(fd)" "$1"; }
stats() { sort -n | awk '{a[NR]=$1} END {p=int((NR*95+99)/100); printf "%8.3f %8.3f %8.3f\n", a[int((NR+1)/2)], a[p], a[NR]}'; }

# Seconds from Ctrl+Q to the end of a player started with "$@".
answer() {
    limited "$BUILD/KELD32" "$@" >"$WORK/out" 2>&1 &
    local pid=$!
    local wid
    wid=$(xdotool search --sync --onlyvisible --name "MCI Video File Player" | head -1)
    sleep 0.2
    xdotool windowfocus --sync "$wid" 2>/dev/null || true
    local t0=$EPOCHREALTIME
    xdotool key --window "$wid" ctrl+q
    wait "$pid" || true
    awk -v a="$t0" -v b="$EPOCHREALTIME" 'BEGIN {print b - a}'
}

printf '%-10s %-36s %8s %8s %8s\n' file "Ctrl+Q to the end (s, $RUNS runs, ${MBS/#0/no limit} MB/s)" median p95 slowest
idle=()
for _ in $(seq "$RUNS"); do idle+=("$(answer /noautodetect)"); done
printf '%-10s %-36s %s\n' "-" "no file open" "$(printf '%s\n' "${idle[@]}" | stats)"
for name in film.mp4 film.mkv film.ts day.mp4; do
    f="$DIR/$name"
    [ -f "$f" ] || continue
    times=()
    for _ in $(seq "$RUNS"); do
        drop "$f"
        times+=("$(answer "$f")")
    done
    printf '%-10s %-36s %s\n' "$name" "during the open, cold" "$(printf '%s\n' "${times[@]}" | stats)"
done
