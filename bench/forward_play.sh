#!/usr/bin/env bash
# Forward play with sound in a 1920x1080 window, against mpv in the same run.
#   bash bench/forward_play.sh [BUILD_DIR] [RUNS] [SECONDS]
# (KELD_BENCH_CLIPS="h264_1080p25.mp4 ..." plays only those of the clips below.)
# Makes (once, under $KELD_BENCH_DIR, default /tmp/keld-bench-forward) 13-second clips
# from lavfi testsrc2 with a sine sound: 1080p25 and 1080p60 H.264, 720p60 VP9,
# 2160p30 H.264 (x264 and libvpx defaults for the groups). Runs itself under
# `xvfb-run -s "-screen 0 1920x1080x24"` when no DISPLAY is set, and starts a
# PulseAudio with a null sink when none answers, so that both players have a real
# sound output with its latency.
#
# Each run plays one clip from its start in a 1920x1080 window: KELD32 through
# `mcisend` (its own top-level window, `put vid window at 0 0 1920 1080`; one malloc
# arena, as the player sets it), then `mpv --vo=x11 --ao=pulse` with the same
# geometry. Both are measured over the same stretch, from 1 s after play starts for
# SECONDS (default 10): CPU in % of one core (utime+stime from /proc/PID/stat),
# resident size (VmRSS every 100 ms: median and peak), pictures shown and dropped
# per second (KELD32: the KELD32_MCI_TRACE line written when play stops; mpv: its
# frame-drop-count over the whole play) and, for KELD32, how far the sound is ahead
# of the pictures when each is shown. Prints median, p95 and slowest (highest) over
# RUNS (default 3) runs per clip.
set -euo pipefail
BUILD=$(readlink -f "${1:-build}")
RUNS=${2:-3}
SECONDS_PLAYED=${3:-10}
HERE=$(readlink -f "$(dirname "$0")")
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1920x1080x24" bash "$HERE/forward_play.sh" "$BUILD" "$RUNS" "$SECONDS_PLAYED"
fi
DIR=${KELD_BENCH_DIR:-/tmp/keld-bench-forward}
mkdir -p "$DIR"
MCISEND="$BUILD/mcisend"
LENGTH=$((SECONDS_PLAYED + 3))

make_clip() {   # NAME SIZE RATE ENCODER-ARGS...
    local out="$DIR/$1" size=$2 rate=$3
    shift 3
    [ -f "$out" ] && return
    nice ffmpeg -v error -y -f lavfi -i "testsrc2=size=$size:rate=$rate" -f lavfi -i "sine=f=440:r=48000" \
        -t "$LENGTH" "$@" -shortest "$out.part.${out##*.}"
    mv "$out.part.${out##*.}" "$out"
}
make_clips() {
    make_clip h264_1080p25.mp4 1920x1080 25 -c:v libx264 -preset veryfast -c:a aac
    make_clip h264_1080p60.mp4 1920x1080 60 -c:v libx264 -preset veryfast -c:a aac
    make_clip vp9_720p60.webm 1280x720 60 -c:v libvpx-vp9 -deadline realtime -cpu-used 8 -b:v 3M -c:a libopus
    make_clip h264_2160p30.mp4 3840x2160 30 -c:v libx264 -preset veryfast -c:a aac
}

sound_server() {
    pactl info >/dev/null 2>&1 || pulseaudio --start --exit-idle-time=-1
    pactl list short sinks 2>/dev/null | grep -q . || pactl load-module module-null-sink >/dev/null
}

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
rss_mib() { awk '/^VmRSS/ {printf "%.0f\n", $2 / 1024}' "/proc/$1/status"; }
# Samples one process for SECONDS_PLAYED s: prints "cpu% rss-median rss-peak".
measure() {
    local pid=$1 hz t0 c0 c1 t1 rss=()
    hz=$(getconf CLK_TCK)
    t0=$EPOCHREALTIME
    c0=$(cpu_ticks "$pid")
    for _ in $(seq $((SECONDS_PLAYED * 10))); do
        rss+=("$(rss_mib "$pid")")
        sleep 0.1
    done
    c1=$(cpu_ticks "$pid")
    t1=$EPOCHREALTIME
    printf '%s\n' "${rss[@]}" | sort -n | awk -v c="$((c1 - c0))" -v hz="$hz" -v s="$(awk -v a="$t0" -v b="$t1" 'BEGIN {print b - a}')" \
        '{a[NR] = $1} END {printf "%.1f %d %d\n", 100 * c / hz / s, a[int((NR + 1) / 2)], a[NR]}'
}

# One play of KELD32; prints "cpu rss-median rss-peak shown/s dropped/s sound-ahead-median sound-ahead-max".
keld_run() {
    local file=$1 out="$DIR/keld.out" err="$DIR/keld.err" pid m
    coproc KELD { exec env KELD32_MCI_TRACE=1 MALLOC_ARENA_MAX=1 "$MCISEND" 2>"$err"; }
    pid=$KELD_PID
    exec 3>&"${KELD[1]}" 4<&"${KELD[0]}" {KELD[1]}>&- {KELD[0]}<&-
    echo "open \"$file\" alias vid" >&3
    echo "put vid window at 0 0 1920 1080" >&3
    read -r _ <&4
    read -r _ <&4
    echo "play vid" >&3
    read -r _ <&4
    sleep 1
    m=$(measure "$pid")
    echo "stop vid" >&3
    read -r _ <&4
    echo "close vid" >&3
    read -r _ <&4
    exec 3>&- 4<&-
    wait "$pid" 2>/dev/null || true
    local play
    play=$(grep '^KELD32 play:' "$err" | tail -1)
    echo "$m $(awk '{for (i = 1; i <= NF; ++i) if ($i ~ /=/) {split($i, kv, "="); v[kv[1]] = kv[2]}}
        END {if (v["seconds"] > 0) printf "%.1f %.1f %.3f %.3f", v["shown"] / v["seconds"], v["dropped"] / v["seconds"], v["ahead_median"], v["ahead_max"]
             else printf "0 0 0 0"}' <<<"$play")"
}

# mpv's counts, written when it ends (its properties are gone by then: kept as it plays).
cat >"$DIR/count.lua" <<'EOF'
local last = ""
mp.add_periodic_timer(0.1, function()
    last = string.format("frame=%s dropped=%s decoder_dropped=%s", mp.get_property("estimated-frame-number", "0"),
        mp.get_property("frame-drop-count", "0"), mp.get_property("decoder-frame-drop-count", "0"))
end)
mp.register_event("shutdown", function() io.stderr:write("MPV play: " .. last .. "\n") end)
EOF

# One play of mpv; prints "cpu rss-median rss-peak shown/s dropped/s".
mpv_run() {
    local file=$1 pid length=$((SECONDS_PLAYED + 2)) m
    mpv --no-config --really-quiet --vo=x11 --ao=pulse --geometry=1920x1080+0+0 --no-keepaspect --no-border \
        --script="$DIR/count.lua" --length=$length "$file" >/dev/null 2>"$DIR/mpv.err" &
    pid=$!
    sleep 1
    m=$(measure "$pid")
    wait "$pid" 2>/dev/null || true
    echo "$m $(grep '^MPV play:' "$DIR/mpv.err" | tail -1 | awk -v s="$length" '{for (i = 1; i <= NF; ++i) if ($i ~ /=/) {split($i, kv, "="); v[kv[1]] = kv[2]}}
        END {d = v["dropped"] + v["decoder_dropped"]; printf "%.1f %.1f", (v["frame"] - d) / s, d / s}')"
}

# Reads columns of numbers, one run per line; prints "median p95 slowest" per column,
# slowest being the highest value.
stats() {
    awk '{for (i = 1; i <= NF; ++i) v[i, NR] = $i; n = NF} END {
        for (i = 1; i <= n; ++i) {
            for (r = 1; r <= NR; ++r) a[r] = v[i, r]
            for (r = 2; r <= NR; ++r) for (q = r; q > 1 && a[q - 1] > a[q]; --q) {t = a[q]; a[q] = a[q - 1]; a[q - 1] = t}
            printf "%s %s %s%s", a[int((NR + 1) / 2)], a[int((NR * 95 + 99) / 100)], a[NR], i < n ? "|" : "\n"
        }}'
}

make_clips
sound_server
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg); $RUNS runs of ${SECONDS_PLAYED} s per clip; median p95 highest"
for clip in ${KELD_BENCH_CLIPS:-h264_1080p25.mp4 h264_1080p60.mp4 vp9_720p60.webm h264_2160p30.mp4}; do
    keld=() mpv=()
    for _ in $(seq "$RUNS"); do
        keld+=("$(keld_run "$DIR/$clip")")
        mpv+=("$(mpv_run "$DIR/$clip")")
    done
    IFS='|' read -r kc kr kp ks kd ka kx < <(printf '%s\n' "${keld[@]}" | stats)
    IFS='|' read -r mc mr mp ms md < <(printf '%s\n' "${mpv[@]}" | stats)
    echo "$clip"
    printf '  %-40s %s\n' "CPU % of a core: KELD32" "$kc" "CPU % of a core: mpv" "$mc" \
        "RSS median MiB: KELD32" "$kr" "RSS median MiB: mpv" "$mr" "RSS peak MiB: KELD32" "$kp" "RSS peak MiB: mpv" "$mp" \
        "pictures shown per second: KELD32" "$ks" "pictures shown per second: mpv" "$ms" \
        "pictures dropped per second: KELD32" "$kd" "pictures dropped per second: mpv" "$md" \
        "KELD32 sound ahead, median of a play (s)" "$ka" "KELD32 sound ahead, most in a play (s)" "$kx"
    awk -v k="${kc%% *}" -v m="${mc%% *}" -v kr="${kr%% *}" -v mr="${mr%% *}" \
        'BEGIN {if (m > 0 && mr > 0) printf "  median ratios KELD32/mpv: CPU %.2f, RSS %.2f\n", k / m, kr / mr}'
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
