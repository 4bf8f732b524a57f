#!/usr/bin/env bash
# How soon the player answers Ctrl+Q while a big file opens, as a user sees it:
#   bash bench/keys_during_open.sh [BUILD_DIR] [RUNS] [MB_PER_S]
# Uses the files bench/open_big.sh made under /tmp/keld-bench-big. Each run drops
# the file from the page cache, starts the player with it on the command line under
# a virtual X server (read through a limit of MB_PER_S when it is not 0: root and the
# cgroup v1 blkio controller, as bench/open_throttled.sh), focuses the panel as soon
# as it appears and sends Ctrl+Q 0.05 s later, while the open still runs (the open
# of bench/open_big.sh's files takes 0.04-0.6 s unlimited, seconds at 40 MB/s). Printed:
# seconds from the key until the panel is gone from the screen and until the
# program has ended (its shutdown included), median, p95 and slowest; the same with
# no file open, for the shutdown alone.
set -euo pipefail
[ -n "${KELD_BENCH_TRACE:-}" ] && set -x
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
source "$(dirname "$0")/lib/open_bench.sh"
source "$(dirname "$0")/../tests/e2e/lib/e2e.sh"
limited() { exec "$@"; }   # run in the background: the pid is the player's
if [ "$MBS" != 0 ]; then
    limit_reads "$GROUP" "$DIR" "$MBS"
    limited() { exec bash -c 'echo $$ >'"$GROUP"'/tasks; exec "$@"' limited "$@"; }
fi

# One run with "$@" on the command line: prints the seconds from Ctrl+Q until the
# panel is gone from the screen and until the program has ended. The
# key goes KELD_BENCH_KEY_DELAY seconds (0.05) after the panel appears.
answer() {
    local pid tries start
    for start in 1 2 3; do
        limited "$BUILD/KELD32" "$@" >"$WORK/out" 2>&1 &
        pid=$!
        tries=0
        PLAYER_PID=$pid   # find_panel (the end-to-end scripts' own) sets PANEL
        PANEL=""
        until find_panel || dropped_by_x "$pid" "$WORK/out"; do
            tries=$((tries + 1))
            [ "$tries" -lt 400 ] || { echo "no panel: $(cat "$WORK/out")" >&2; kill "$pid"; return 1; }
            sleep 0.05
        done
        [ -n "$PANEL" ] && break
    done
    [ -n "$PANEL" ] || { echo "no panel: $(cat "$WORK/out")" >&2; return 1; }
    local wid=$PANEL
    sleep "${KELD_BENCH_KEY_DELAY:-0.05}"
    xdotool windowfocus --sync "$wid" 2>/dev/null || true
    local t0=$EPOCHREALTIME
    xdotool key --clearmodifiers ctrl+q
    while xwininfo -id "$wid" 2>/dev/null | grep -q IsViewable; do :; done
    local gone=$EPOCHREALTIME
    wait "$pid" || true
    awk -v a="$t0" -v g="$gone" -v b="$EPOCHREALTIME" 'BEGIN {print g - a, b - a}'
}

report() {  # FILE WHAT, then the runs' lines on stdin
    local runs
    runs=$(cat)
    printf '%-10s %-30s %s   %s\n' "$1" "$2" "$(awk '{print $1}' <<<"$runs" | stats 3)" "$(awk '{print $2}' <<<"$runs" | stats 3)"
}

printf '%-10s %-30s %-26s   %s\n' "" "(s, $RUNS runs, ${MBS/#0/no limit} MB/s)" \
    "Ctrl+Q to the panel gone" "Ctrl+Q to the program's end"
printf '%-10s %-30s %8s %8s %8s   %8s %8s %8s\n' file what median p95 slowest median p95 slowest
for _ in $(seq "$RUNS"); do answer /noautodetect; done | report - "no file open"
for name in film.mp4 film.mkv film.ts day.mp4; do
    f="$DIR/$name"
    [ -f "$f" ] || continue
    for _ in $(seq "$RUNS"); do
        drop "$f"
        answer "$f"
    done | report "$name" "during the open, cold"
done
