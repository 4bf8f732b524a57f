#!/usr/bin/env bash
# Opening big files, cold and warm, against mpv's time to its first frame.
#   bash bench/open_big.sh [BUILD_DIR] [RUNS]
# Makes (once, under /tmp/keld-bench-big) a 2-hour 720p H.264 film as MP4 and MKV and
# a 24-hour 160x120 recording as MP4, by joining copies of short encodes with the
# concat demuxer. Each run times `mcisend` (open, status length, close; no kept
# index: KELD32_INDEX_CACHE_MIB=0, then once more with the index kept) and
# `mpv --vo=null --ao=null --frames=1`; "cold" drops the file from the page cache
# first (posix_fadvise DONTNEED). Prints median, p95 and slowest in seconds.
set -euo pipefail
BUILD=${1:-build}
RUNS=${2:-5}
DIR=/tmp/keld-bench-big
mkdir -p "$DIR"
MCISEND=$(readlink -f "$BUILD/mcisend")

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
    [ -f "$DIR/day.mp4" ] || {
        ffmpeg -v error -y -f lavfi -i testsrc2=size=160x120:rate=25 -t 600 -c:v libx264 -preset ultrafast \
            -g 250 -bf 2 "$DIR/ten.mp4"
        join_copies "$DIR/ten.mp4" 144 "$DIR/day.mp4"
    }
}
drop() { python3 -c "import os,sys; fd=os.open(sys.argv[1],os.O_RDONLY); os.posix_fadvise(fd,0,0,os.POSIX_FADV_DONTNEED); os.close(fd)" "$1"; }
seconds() { local t0=$EPOCHREALTIME; "$@" >/dev/null 2>&1 || true; awk -v a="$t0" -v b="$EPOCHREALTIME" 'BEGIN {print b - a}'; }
stats() { sort -n | awk '{a[NR]=$1} END {p=int((NR*95+99)/100); printf "%8.2f %8.2f %8.2f\n", a[int((NR+1)/2)], a[p], a[NR]}'; }

keld() { env KELD32_MCI_HEADLESS=1 "$@" "$MCISEND" "open \"$FILE\" alias vid" 'status vid length' 'close vid'; }
mpv_first() { mpv --no-config --really-quiet --vo=null --ao=null --frames=1 "$FILE"; }

make_files
printf '%-10s %-34s %8s %8s %8s\n' file "what (s, $RUNS runs)" median p95 slowest
for FILE in "$DIR/film.mp4" "$DIR/film.mkv" "$DIR/day.mp4"; do
    for temp in cold warm; do
        for who in keld mpv; do
            for _ in $(seq "$RUNS"); do
                [ "$temp" = cold ] && drop "$FILE"
                if [ "$who" = keld ]; then seconds keld KELD32_INDEX_CACHE_MIB=0; else seconds mpv_first; fi
            done | stats | { read -r m p s; printf '%-10s %-34s %8s %8s %8s\n' "$(basename "$FILE")" "$temp: $who" "$m" "$p" "$s"; }
        done
    done
    keld >/dev/null 2>&1   # the index is kept
    for _ in $(seq "$RUNS"); do drop "$FILE"; seconds keld; done | stats |
        { read -r m p s; printf '%-10s %-34s %8s %8s %8s\n' "$(basename "$FILE")" "cold: keld, index kept" "$m" "$p" "$s"; }
done
