#!/usr/bin/env bash
# A person's first session with the player, under a virtual X server: open a
# stamped clip through the Open File dialog, play, pause, step both ways, go to
# a typed frame, capture it, change the zoom with "*" and "/", and exit. Every
# result is read from outside: the panel's caption, the display window's
# geometry, the frame number stamped into the picture on screen and into the
# captured bitmap, and the settings file left by an exit with the clip still open.
#   bash desktop_session.sh BUILD_DIR       (KELD32_BIN=... for an installed player)
set -uo pipefail
E2E_SCRIPT=$(readlink -f "$0")
source "$(dirname "$E2E_SCRIPT")/lib/e2e.sh"
e2e_begin session "${1:?build directory}"

CLIP="$WORK/stamp.avi"
make_stamped_clip "$CLIP" 100 || { echo "ffmpeg could not make the clip"; exit 1; }
mkdir -p "$WORK/run"

# A first run: no settings yet, so the panel is at (0, 0) and the display at
# (0, 38); captures go to the working directory (no capture directory set).
RUN_DIR="$WORK/run" start_player /noautodetect || e2e_end
check_eq "panel position" "0,0" "$(window_origin "$PANEL")"
check_eq "caption with no medium" "Vantu's MCI Video File Player" "$(caption "$PANEL")"

# -- Open through the dialog -------------------------------------------------------
open_file "$CLIP"
wait_until 15 caption_matches "$PANEL" '^STAMP\.AVI +- +Frame: +1 / 100$' \
    || fail "caption after open: [$(caption "$PANEL")]"
wait_until 10 find_display || fail "no display window after the open"
check_eq "display size at zoom 1:1" "320x240" "$(window_size "$DISPLAY_WIN")"
check_eq "display position" "0,38" "$(window_origin "$DISPLAY_WIN")"
wait_until 10 stamp_is 1 || fail "the display shows frame $(display_stamp) after the open, not 1"
# Every window shows the program's icon, the panel's.
PANEL_ICON=$(window_icon "$PANEL")
[ "$PANEL_ICON" != none ] || fail "the panel shows no icon"
check_eq "icon of the display window" "$PANEL_ICON" "$(window_icon "$DISPLAY_WIN")"
screenshot "$WORK/display.png" 0 0 440 280

# -- Play and pause from the keypad ("6") -------------------------------------------
frame_past() { local f; f=$(caption_frame); [ -n "$f" ] && [ "$f" -gt "$1" ]; }
press "$PANEL" 6
wait_until 15 frame_past 10 || fail "play did not move the position: [$(caption "$PANEL")]"
press "$PANEL" 6
# Paused: the picture stops; two looks a little apart must agree.
still() { local a b; a=$(display_stamp); sleep 0.5; b=$(display_stamp); [ "$a" = "$b" ] && PAUSED_AT=$a; }
PAUSED_AT=""
wait_until 10 still || fail "the picture kept moving after pause"
if [[ "$PAUSED_AT" =~ ^[0-9]+$ ]]; then
    [ "$PAUSED_AT" -gt 10 ] || fail "paused at frame $PAUSED_AT, before the caption's frame 10"
    # Single steps: "2" forward, "8" back, one frame each.
    if [ "$PAUSED_AT" -lt 99 ]; then
        press "$PANEL" 2
        wait_until 10 stamp_is $((PAUSED_AT + 1)) || fail "step forward from $PAUSED_AT shows $(display_stamp)"
        press "$PANEL" 8
        wait_until 10 stamp_is "$PAUSED_AT" || fail "step back shows $(display_stamp), not $PAUSED_AT"
    fi
else
    fail "no readable frame on display after pause: [$PAUSED_AT]"
fi

# -- Go to a typed frame (Ctrl+G) -----------------------------------------------------
press "$PANEL" ctrl+g
if wait_until 10 find_window '^Goto Frame$'; then
    GOTO=$FOUND
    check_eq "icon of the go-to-frame dialog" "$PANEL_ICON" "$(window_icon "$GOTO")"
    screenshot "$WORK/gotoframe.png" 0 0 440 300
    press "$GOTO" ctrl+a
    type_text "$GOTO" 42
    xdotool key Return
    wait_until 10 stamp_is 42 || fail "go to frame 42 shows frame $(display_stamp)"
    wait_until 10 caption_matches "$PANEL" 'Frame: +42 / 100' || fail "caption after go to 42: [$(caption "$PANEL")]"
else
    fail "Ctrl+G showed no go-to-frame dialog"
fi

# -- Capture ("c"): the bitmap holds the frame on display ------------------------------
press "$PANEL" c
captured() { [ -s "$WORK/run/wcap0001.bmp" ]; }
if wait_until 10 captured; then
    check_eq "frame stamped in wcap0001.bmp" 42 "$(bitmap_stamp "$WORK/run/wcap0001.bmp")"
else
    fail "\"c\" wrote no wcap0001.bmp into the working directory: $(ls "$WORK/run")"
fi

# -- Zoom with "*" and "/": display size = source size x zoom --------------------------
size_is() { [ "$(window_size "$DISPLAY_WIN")" = "$1" ]; }
press "$PANEL" asterisk
wait_until 10 size_is 640x480 || fail "\"*\" gave a display of $(window_size "$DISPLAY_WIN"), not 640x480"
wait_until 10 stamp_is 42 || fail "at 2:1 the display shows frame $(display_stamp), not 42"
press "$PANEL" asterisk
wait_until 10 size_is 960x720 || fail "second \"*\" gave $(window_size "$DISPLAY_WIN"), not 960x720"
press "$PANEL" slash
wait_until 10 size_is 640x480 || fail "\"/\" gave $(window_size "$DISPLAY_WIN"), not 640x480"

# -- Exit (Ctrl+Q) with the clip still open: the settings file keeps what changed ---
exit_player
check_eq "Zoom written at exit" 2 "$(setting Zoom)"
check_eq "capture counter written at exit" 1 "$(setting WCapCount)"
[ -n "${KELD32_SCREENSHOTS:-}" ] && cp "$WORK/display.png" "$KELD32_SCREENSHOTS/" 2>/dev/null
e2e_end
