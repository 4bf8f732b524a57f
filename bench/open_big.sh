#!/usr/bin/env bash
# Opening big files, cold and warm, against mpv's time to its first frame.
#   bash bench/open_big.sh [BUILD_DIR] [RUNS]
# Makes (once, under /tmp/keld-bench-big) a 2-hour 720p H.264 film as MP4, MKV and TS
# and a 24-hour 160x120 recording as MP4, by joining copies of short encodes with the
# concat demuxer. Each run times `open_index` (bench/open_index.cpp: the device's open,
# which returns with frame 0 on display, then until "status vid indexed" says 100; no
# kept index: KELD32_INDEX_CACHE_MIB=0, then once more with the index kept) and
# `mpv --vo=null --ao=null --frames=1`; "cold" drops the file from the page cache
# first (posix_fadvise DONTNEED); one heap arena, as the player runs. Prints median, p95 and slowest in seconds, and the
# resident size before the open, at its peak and after close (MiB, last run).
set -euo pipefail
BUILD=${1:-build}
RUNS=${2:-5}
DIR=/tmp/keld-bench-big
mkdir -p "$DIR"
OPEN_INDEX=$(readlink -f "$BUILD/bench/open_index")

join_copies() {   # SOURCE COUNT OUT
    local list="$DIR/list.txt"
    for _ in $(seq "$2"); do echo "file '$1'"; done >"$list"
    ffmpeg -v error -y -f concat -safe 0 -i "$list" -c copy "$3"
}
make_files() {
    [ -f "$DIR/film.mp4" ] || {
        ffmpeg -v error -y -f lavfi -i testsrc2=size=1280x720:rate=25 -f lavfi -i sine=f=440:r=48000 -t 60 \
            -c:v libx264 -preset ultrafast -b:v 2M -g 250 -bf 2 -c:a aac -shortest "$DIR/minute.mp4"
        join_copies "$DIR/minute.mp4" 120 "$DIR/film.mp4"
    }
    [ -f "$DIR/film.mkv" ] || ffmpeg -v error -y -i "$DIR/film.mp4" -c copy "$DIR/film.mkv"
    [ -f "$DIR/film.ts" ] || ffmpeg -v error -y -i "$DIR/film.mp4" -c copy "$DIR/film.ts"
    [ -f "$DIR/day.mp4" ] || {
        ffmpeg -v error -y -f lavfi -i testsrc2=size=160x120:rate=25 -t 600 -c:v libx264 -preset ultrafast \
            -g 250 -bf 2 "$DIR/ten.mp4"
        join_copies "$DIR/ten.mp4" 144 "$DIR/day.mp4"
    }
}
source "$(dirname "$0")/lib/open_bench.sh"
row() { read -r m p s; printf '%-10s %-34s %8s %8s %8s\n' "$(basename "$FILE")" "$1" "$m" "$p" "$s"; }

keld() { env KELD32_MCI_HEADLESS=1 MALLOC_ARENA_MAX=1 "$@" "$OPEN_INDEX" "$FILE" 2>/dev/null; }   # open whole length before peak after
mpv_first() { mpv --no-config --really-quiet --vo=null --ao=null --frames=1 "$FILE"; }

make_files
printf '%-10s %-34s %8s %8s %8s\n' file "what (s, $RUNS runs)" median p95 slowest
for FILE in "$DIR/film.mp4" "$DIR/film.mkv" "$DIR/film.ts" "$DIR/day.mp4"; do
    for temp in cold warm; do
        out=$(for _ in $(seq "$RUNS"); do
            [ "$temp" = cold ] && drop "$FILE"
            keld KELD32_INDEX_CACHE_MIB=0
        done)
        echo "$out" | awk '{print $1}' | stats | row "$temp: keld open, frame 0 shown"
        echo "$out" | awk '{print $2}' | stats | row "$temp: keld whole index"
        echo "$out" | tail -1 | awk '{printf "%-10s %-34s before %s MiB, peak %s, after close %s\n", f, "keld memory", $4, $5, $6}' f="$(basename "$FILE")"
        for _ in $(seq "$RUNS"); do
            [ "$temp" = cold ] && drop "$FILE"
            seconds mpv_first
        done | stats | row "$temp: mpv first frame"
    done
    keld >/dev/null   # the index is kept
    for _ in $(seq "$RUNS"); do drop "$FILE"; keld; done | awk '{print $1}' | stats | row "cold: keld open, index kept"
done
