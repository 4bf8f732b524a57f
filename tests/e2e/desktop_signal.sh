#!/usr/bin/env bash
# Ended from outside, as a logout or `kill` ends it: SIGTERM with a zoomed clip open,
# SIGINT while a dialog is open, SIGHUP with no medium. Each time the program must
# end by itself with status 0 and leave the settings of the session written.
#   bash desktop_signal.sh BUILD_DIR
set -uo pipefail
E2E_SCRIPT=$(readlink -f "$0")
source "$(dirname "$E2E_SCRIPT")/lib/e2e.sh"
e2e_begin signal "${1:?build directory}"

CLIP="$WORK/stamp.avi"
make_stamped_clip "$CLIP" 100 || { echo "ffmpeg could not make the clip"; exit 1; }

# end_by SIGNAL: sends it and expects a clean end of the player's own.
end_by() {
    kill -"$1" "$PLAYER_PID"
    expect_clean_end "SIG$1"
}
size_is() { [ "$(window_size "$DISPLAY_WIN")" = "$1" ]; }

# -- SIGTERM while a clip plays at 2:1 -------------------------------------------
start_player /noautodetect || e2e_end
open_file "$CLIP"
wait_until 15 caption_matches "$PANEL" '^STAMP\.AVI' || fail "the clip did not open: [$(caption "$PANEL")]"
wait_until 10 find_display || fail "no display window"
press "$PANEL" asterisk
wait_until 10 size_is 640x480 || fail "\"*\" gave $(window_size "$DISPLAY_WIN")"
press "$PANEL" 6
end_by TERM
check_eq "Zoom written after SIGTERM" 2 "$(setting Zoom)"

# -- SIGINT while the go-to-frame dialog is open -----------------------------------
rm -f "$XDG_CONFIG_HOME/Vantu/ZORVEX.conf"
start_player /noautodetect || e2e_end
open_file "$CLIP"
wait_until 15 caption_matches "$PANEL" '^STAMP\.AVI' || fail "the clip did not open: [$(caption "$PANEL")]"
press "$PANEL" ctrl+g
wait_until 10 find_window '^Goto Frame$' || fail "Ctrl+G showed no dialog"
end_by INT
check_eq "Zoom written after SIGINT" 1 "$(setting Zoom)"

# -- SIGHUP with no medium -----------------------------------------------------------
rm -f "$XDG_CONFIG_HOME/Vantu/ZORVEX.conf"
start_player /noautodetect || e2e_end
end_by HUP
[ -s "$XDG_CONFIG_HOME/Vantu/ZORVEX.conf" ] || fail "no settings file after SIGHUP"
e2e_end
