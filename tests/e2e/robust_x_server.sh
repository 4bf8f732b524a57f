#!/usr/bin/env bash
# The device's drawing on X servers of every kind, through mcisend and the player:
# 16- and 15-bit screens show the picture; an 8-bit (palette) screen is refused
# with an error rather than left black; under a window manager (openbox) the
# device's own window goes where "put ... window at" says; and when the X server
# goes away mid-play, mcisend keeps answering and ends normally, and the player
# ends with a message rather than a crash. Each part starts its own X server.
#   bash robust_x_server.sh BUILD_DIR
set -uo pipefail
E2E_SCRIPT=$(readlink -f "$0")
source "$(dirname "$E2E_SCRIPT")/lib/e2e.sh"
e2e_setup x_server "${1:?build directory}"

TOOL=$BUILD/mcisend
CLIP="$WORK/stamp.avi"
make_stamped_clip "$CLIP" 250 || { echo "ffmpeg could not make the clip"; exit 1; }

XVFB_PID=""
OTHER_PIDS=()
stop_servers() {
    local p
    for p in "${OTHER_PIDS[@]}" $XVFB_PID; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done
    OTHER_PIDS=()
    XVFB_PID=""
}
trap 'stop_servers; e2e_cleanup' EXIT

# start_xvfb SCREEN: an X server of that screen (WxHxDEPTH) on a free display; sets DISPLAY.
start_xvfb() {
    local fdfile="$WORK/displayfd.$RANDOM"
    Xvfb -displayfd 9 -screen 0 "$1" -nolisten tcp 9>"$fdfile" 2>"$WORK/xvfb.err" &
    XVFB_PID=$!
    has_number() { [ -s "$fdfile" ]; }
    wait_until 20 has_number || { fail "no X server for $1"; return 1; }
    export DISPLAY=":$(head -1 "$fdfile")"
}

# mcisend_session NAME: mcisend reading commands from the FIFO $WORK/NAME.in (opened
# as descriptor 3), answers in NAME.out, errors in NAME.err; TOOL_PID is its process.
mcisend_session() {
    rm -f "$WORK/$1.in"
    mkfifo "$WORK/$1.in"
    "$TOOL" <"$WORK/$1.in" >"$WORK/$1.out" 2>"$WORK/$1.err" &
    TOOL_PID=$!
    exec 3>"$WORK/$1.in"
}
# end_session: closes the commands and waits for mcisend; sets TOOL_RC.
end_session() {
    exec 3>&-
    wait "$TOOL_PID"
    TOOL_RC=$?
}
lines() { [ -f "$1" ] && [ "$(wc -l <"$1")" -ge "$2" ]; }
answers() { wait_until 20 lines "$WORK/$1.out" "$2"; }

# -- Screens of 16 and 15 bits show the frame; 8 bits are refused ------------------
# The 15-bit screen is drawn without shared memory, as a remote display is.
for depth in 16 15; do
    start_xvfb "640x480x$depth" || continue
    if [ "$depth" = 15 ]; then export KELD32_MCI_NO_SHM=1; fi
    mcisend_session "depth$depth"
    unset KELD32_MCI_NO_SHM
    printf 'open "%s" alias vid\nset vid time format frames\nput vid window at 0 0 320 240\nwindow vid state show\nseek vid to 77 wait\n' \
        "$CLIP" >&3
    answers "depth$depth" 5 || fail "depth $depth: no answers: $(cat "$WORK/depth$depth.err")"
    shows77() { [ "$(screen_stamp 0 0 320 240)" = 77 ]; }
    wait_until 10 shows77 || fail "depth $depth: the screen shows frame [$(screen_stamp 0 0 320 240)], not 77"
    printf 'close vid\n' >&3
    end_session
    check_eq "depth $depth: mcisend exit status" 0 "$TOOL_RC"
    stop_servers
done

start_xvfb 640x480x8 && {
    mcisend_session depth8
    printf 'open "%s" alias vid\nwindow vid handle default\nwindow vid state show\nstatus vid mode\nclose vid\n' "$CLIP" >&3
    end_session
    check_eq "depth 8: handle and show refused, the device still answers" \
        $'0\t\n274\t\n274\t\n0\tstopped\n0\t' "$(cat "$WORK/depth8.out")"
    grep -q "depth 8" "$WORK/depth8.err" || fail "depth 8: no word of the depth on stderr: $(cat "$WORK/depth8.err")"
    stop_servers
}

# -- The own window under a window manager -----------------------------------------
# Where the window manager put the window's frame: the window less its decorations.
frame_origin() {  # WINDOW
    local origin extents left top
    origin=$(window_origin "$1")
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.* = //p' | tr -d ' ')
    left=$(echo "$extents" | cut -d, -f1); top=$(echo "$extents" | cut -d, -f3)
    echo "$((${origin%,*} - ${left:-0})),$((${origin#*,} - ${top:-0}))"
}
start_xvfb 1024x768x24 && {
    openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
    OTHER_PIDS+=($!)
    managed() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
    wait_until 20 managed || fail "openbox did not start: $(cat "$WORK/openbox.log")"
    mcisend_session wm
    printf 'open "%s" alias vid\nput vid window at 0 38 320 240\nwindow vid state show\n' "$CLIP" >&3
    find_own() { OWN=$(xdotool search --onlyvisible --name '^KELD32$' 2>/dev/null | head -1); [ -n "$OWN" ]; }
    if wait_until 20 find_own; then
        at() { [ "$(frame_origin "$OWN") $(window_size "$OWN")" = "$1" ]; }
        wait_until 10 at "0,38 320x240" || fail "shown: at [$(frame_origin "$OWN") $(window_size "$OWN")], not 0,38 320x240"
        printf 'put vid window at 100 200 400 300\n' >&3
        wait_until 10 at "100,200 400x300" || fail "moved: at [$(frame_origin "$OWN") $(window_size "$OWN")]"
        printf 'window vid state hide\nput vid window at 10 20 320 240\nwindow vid state show\n' >&3
        wait_until 10 at "10,20 320x240" || fail "shown again: at [$(frame_origin "$OWN") $(window_size "$OWN")]"
    else
        fail "the own window never appeared: $(cat "$WORK/wm.err")"
    fi
    printf 'close vid\n' >&3
    end_session
    check_eq "window manager: mcisend exit status" 0 "$TOOL_RC"
    stop_servers
}

# -- The X server goes away while a clip plays -------------------------------------
for round in 1 2 3; do
    start_xvfb 640x480x24 || continue
    mcisend_session "lost$round"
    printf 'open "%s" alias vid\nset vid time format frames\nput vid window at 0 0 320 240\nplay vid\n' "$CLIP" >&3
    answers "lost$round" 4 || fail "round $round: the clip did not start: $(cat "$WORK/lost$round.err")"
    sleep 0.5
    stop_servers
    printf 'status vid mode\nseek vid to 10 wait\nstatus vid position\nclose vid\n' >&3
    end_session
    check_eq "round $round: mcisend exit status" 0 "$TOOL_RC"
    check_eq "round $round: answers after the server went" $'0\t\n0\t10\n0\t' "$(sed -n '6,$p' "$WORK/lost$round.out")"
    grep -q "connection to the X server" "$WORK/lost$round.err" || fail "round $round: nothing said on stderr"
done

# The player: the toolkit ends it, with a message, without a crash, and with its
# settings written.
for round in 1 2; do
    rm -f "$XDG_CONFIG_HOME/Vantu/ZORVEX.conf"
    start_xvfb 1024x768x24 || continue
    start_player "$CLIP" || { stop_servers; continue; }
    sleep 1
    stop_servers
    wait_until 20 player_ended || { fail "round $round: the player did not end"; kill -KILL "$PLAYER_PID"; }
    wait "$PLAYER_PID" 2>/dev/null
    rc=$?
    PLAYER_PID=""
    [ "$rc" -lt 128 ] || fail "round $round: the player died of signal $((rc - 128)): $(tail -3 "$WORK/player.err")"
    grep -qi "X server\|X11 connection" "$WORK/player.err" || fail "round $round: no message: $(cat "$WORK/player.err")"
    grep -qi '^Zoom=' "$XDG_CONFIG_HOME/Vantu/ZORVEX.conf" 2>/dev/null || fail "round $round: the settings were not written"
done

e2e_end
