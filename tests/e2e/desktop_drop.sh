#!/usr/bin/env bash
# Files dropped on the panel from another program, through a real XDND drag
# of the X server (a small GTK drag source, moved by xdotool as a hand would): the
# two files become the queue and play one after the other, and a later drop
# replaces the queue that plays.
#   bash desktop_drop.sh BUILD_DIR       (KELD32_BIN=... for an installed player)
set -uo pipefail
E2E_SCRIPT=$(readlink -f "$0")
source "$(dirname "$E2E_SCRIPT")/lib/e2e.sh"
e2e_begin drop "${1:?build directory}"

CLIPS="$WORK/clips"
mkdir -p "$CLIPS"
make_stamped_clip "$CLIPS/alpha.avi" 30 && make_stamped_clip "$CLIPS/beta.avi" 50 \
    || { echo "ffmpeg could not make the clips"; exit 1; }

start_player /noautodetect || e2e_end

# drag_files X Y FILE...: press on the drag source, move over the panel to (X, Y), release.
drag_files() {
    local tx=$1 ty=$2; shift 2
    /usr/bin/python3 "$(dirname "$E2E_SCRIPT")/lib/drag_source.py" 600 400 "$@" >"$WORK/drag.out" 2>"$WORK/drag.err" &
    local pid=$!
    drag_source() { xdotool search --onlyvisible --name '^keld-drag-source$' >/dev/null 2>&1; }
    if ! wait_until 15 drag_source; then
        fail "the drag source never appeared: $(cat "$WORK/drag.err")"; kill "$pid" 2>/dev/null; return 1
    fi
    xdotool mousemove --sync 630 430 mousedown 1
    # XDND follows the pointer: the target sees enter, a few positions, then the drop.
    local step
    for step in 1 2 3 4 5 6; do
        xdotool mousemove --sync $((630 + (tx - 630) * step / 6)) $((430 + (ty - 430) * step / 6))
        sleep 0.2
    done
    xdotool mouseup 1
    drag_done() { ! kill -0 "$pid" 2>/dev/null; }
    wait_until 15 drag_done || { fail "the drag never ended"; kill "$pid"; }
    wait "$pid" 2>/dev/null
}

drag_files 285 10 "$CLIPS/alpha.avi" "$CLIPS/beta.avi"
check_eq "the drag source's end" "drag ended" "$(cat "$WORK/drag.out")"
wait_until 15 caption_matches "$PANEL" '^ALPHA\.AVI +- +Frame:' \
    || fail "the first dropped file is not playing: [$(caption "$PANEL")]"
wait_until 30 caption_matches "$PANEL" '^BETA\.AVI +- +Frame:' \
    || fail "the queue did not go on to the second dropped file: [$(caption "$PANEL")]"
# A drop while a queue plays replaces it: the dropped file plays at once.
make_stamped_clip "$CLIPS/gamma.avi" 200 || exit 1
drag_files 300 12 "$CLIPS/gamma.avi"
wait_until 15 caption_matches "$PANEL" '^GAMMA\.AVI +- +Frame:' \
    || fail "a drop during queue play did not replace the queue: [$(caption "$PANEL")]"
close_then_exit

# With smart display off the device shows the picture in a window of its own; a
# file dragged there must not replace the medium behind the player's back. (That
# window need not name its process: it is the one visible window of the clip's size.)
printf '[General]\nCommandLoop=TRUE\nSmartDisplay=FALSE\n' >"$XDG_CONFIG_HOME/Vantu/ZORVEX.conf"
start_player "$CLIPS/alpha.avi" || e2e_end
device_window() {
    local w
    for w in $(xdotool search --all --onlyvisible --name '.' 2>/dev/null); do
        if [ "$(window_size "$w")" = "320x240" ]; then DEVICE_WIN=$w; return 0; fi
    done
    return 1
}
if wait_until 15 device_window; then
    no_drop_target() { xprop -id "$DEVICE_WIN" XdndAware 2>/dev/null | grep -q 'not found'; }
    wait_until 10 no_drop_target || fail "the device's own window offers itself as a drop target"
    wait_until 15 caption_matches "$PANEL" '^ALPHA\.AVI +- +Frame: +29 / 30$' \
        || fail "the clip did not play to its end: [$(caption "$PANEL")]"
    drag_files 100 150 "$CLIPS/beta.avi"
    check_eq "the drag onto the device's window" "drag ended" "$(cat "$WORK/drag.out")"
    origin=$(window_origin "$DEVICE_WIN")
    check_eq "the device's picture after it" 29 "$(screen_stamp "${origin%,*}" "${origin#*,}" 320 240)"
else
    fail "with smart display off no window of the device's own appeared"
fi
close_then_exit
e2e_end
