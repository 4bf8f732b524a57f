#!/usr/bin/env bash
# A preference changed in the dialog outlives the run: the zoom set to 2:1 in
# the preferences (Ctrl+P, "2 : 1", OK) is in the settings file after Exit, and
# after a restart a newly opened clip shows in a display twice its size.
#   bash desktop_prefs.sh BUILD_DIR       (KELD32_BIN=... for an installed player)
set -uo pipefail
E2E_SCRIPT=$(readlink -f "$0")
source "$(dirname "$E2E_SCRIPT")/lib/e2e.sh"
e2e_begin prefs "${1:?build directory}"

CLIP="$WORK/stamp.avi"
make_stamped_clip "$CLIP" 60 || { echo "ffmpeg could not make the clip"; exit 1; }

start_player /noautodetect || e2e_end
press "$PANEL" ctrl+p
if wait_until 10 find_window '^Preferences$'; then
    PREFS=$FOUND
    origin=$(window_origin "$PREFS"); PX=${origin%,*}; PY=${origin#*,}
    size=$(window_size "$PREFS")
    screenshot "$WORK/preferences.png" "$PX" "$PY" "${size%x*}" "${size#*x}"
    click_at $((PX + 29)) $((PY + 108))     # "2 : 1" on the Display page
    click_at $((PX + 324)) $((PY + 201))    # OK
    gone() { ! find_window '^Preferences$'; }
    wait_until 10 gone || fail "OK did not close the preferences"
else
    fail "Ctrl+P showed no preferences dialog"
fi
exit_player
check_eq "Zoom in the settings file after the dialog" 2 "$(setting Zoom)"

# -- Restart: the stored zoom applies to the next file ------------------------------------
start_player /noautodetect || e2e_end
open_file "$CLIP"
wait_until 15 caption_matches "$PANEL" '^STAMP\.AVI +- +Frame: +1 / 60$' \
    || fail "caption after open: [$(caption "$PANEL")]"
if wait_until 10 find_display; then
    size_is() { [ "$(window_size "$DISPLAY_WIN")" = "$1" ]; }
    wait_until 10 size_is 640x480 || fail "after the restart the display is $(window_size "$DISPLAY_WIN"), not 640x480"
    wait_until 10 stamp_is 1 || fail "the display shows frame $(display_stamp), not 1"
    screenshot "$WORK/display-2x.png" 0 0 660 540
else
    fail "no display window after the open"
fi
close_then_exit
check_eq "Zoom still 2 after the second run" 2 "$(setting Zoom)"
e2e_end
