#!/usr/bin/env bash
# A Wayland session: weston, headless, with XWayland. Started with no platform
# chosen, the player runs on X11 through XWayland: its display window is an X11
# window and the clip's picture is drawn inside it. A platform the user chose
# (QT_QPA_PLATFORM=wayland) is kept.
#   bash desktop_wayland.sh BUILD_DIR       (KELD32_BIN=... for an installed player)
set -uo pipefail
E2E_SCRIPT=$(readlink -f "$0")
source "$(dirname "$E2E_SCRIPT")/lib/e2e.sh"
e2e_setup wayland "${1:?build directory}"
unset QT_QPA_PLATFORM DISPLAY

weston --backend=headless-backend.so --xwayland --socket=keld-wayland --idle-time=0 \
    --width=1024 --height=768 >"$WORK/weston.log" 2>&1 &
WESTON_PID=$!
trap 'kill "$WESTON_PID" 2>/dev/null; wait "$WESTON_PID" 2>/dev/null; e2e_cleanup' EXIT
xwayland_display() {
    DISPLAY=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$WORK/weston.log")
    [ -n "$DISPLAY" ]
}
wait_until 20 xwayland_display || { echo "weston offered no XWayland:"; cat "$WORK/weston.log"; exit 1; }
export DISPLAY WAYLAND_DISPLAY=keld-wayland XDG_SESSION_TYPE=wayland

# The frame stamped into what a window shows (XWayland has no screen to grab from).
window_stamp() {
    ffmpeg -v error -f x11grab -window_id "$1" -i "$DISPLAY" -frames:v 1 \
        -vf "scale=16:1:flags=area,format=gray" -f rawvideo - 2>/dev/null | stamp_of_gray16
}

CLIP="$WORK/stamp.avi"
make_stamped_clip "$CLIP" 50 || { echo "ffmpeg could not make the clip"; exit 1; }
# The clip from the command line stays open after its end, on its last frame.
mkdir -p "$XDG_CONFIG_HOME/Vantu"
printf '[General]\nCommandLoop=TRUE\n' >"$XDG_CONFIG_HOME/Vantu/ZORVEX.conf"

# -- No platform chosen: X11 through XWayland, the picture in the display window ----
start_player "$CLIP" || e2e_end
if wait_until 15 find_display; then
    check_eq "display size" "320x240" "$(window_size "$DISPLAY_WIN")"
    shows_last() { [ "$(window_stamp "$DISPLAY_WIN")" = 49 ]; }
    wait_until 20 shows_last || fail "the display window shows frame [$(window_stamp "$DISPLAY_WIN")], not 49"
else
    fail "no display window on XWayland"
fi
kill -TERM "$PLAYER_PID"
expect_clean_end "SIGTERM"

# -- The user's choice of Wayland stands ----------------------------------------------
( cd "$WORK" && QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client exec "$PLAYER" /noautodetect ) \
    >"$WORK/wayland.out" 2>"$WORK/wayland.err" &
PLAYER_PID=$!
titled() { grep -q "set_title(\"Vantu's MCI Video File Player\")" "$WORK/wayland.err" 2>/dev/null; }
wait_until 20 titled || fail "with QT_QPA_PLATFORM=wayland no Wayland window got the panel's title"
check_eq "X11 windows with QT_QPA_PLATFORM=wayland" "" \
    "$(xdotool search --all --pid "$PLAYER_PID" --name '.' 2>/dev/null)"
# Seen early in the start-up, before the player takes over SIGTERM: only its end matters.
kill -TERM "$PLAYER_PID"
wait "$PLAYER_PID" 2>/dev/null
PLAYER_PID=""
e2e_end
