#!/usr/bin/env bash
# A queue as a person builds it: the editor opened from the panel's popup menu,
# two files picked from its file list in the order wanted, the queue saved to a
# file (one path a line, CR LF) and played with OK, one file after the other;
# then the saved queue named on the command line plays by itself.
#   bash desktop_queue.sh BUILD_DIR       (KELD32_BIN=... for an installed player)
set -uo pipefail
E2E_SCRIPT=$(readlink -f "$0")
source "$(dirname "$E2E_SCRIPT")/lib/e2e.sh"
e2e_begin queue "${1:?build directory}"

CLIPS="$WORK/clips"
mkdir -p "$CLIPS"
# alpha is short so that the queue moves on quickly; beta is long enough to be seen playing.
make_stamped_clip "$CLIPS/alpha.avi" 30 && make_stamped_clip "$CLIPS/beta.avi" 50 \
    || { echo "ffmpeg could not make the clips"; exit 1; }
SAVED="$WORK/saved.kql"

# The editor starts in the player's working directory, so its file list shows the clips.
RUN_DIR="$CLIPS" start_player /noautodetect || e2e_end

# -- The popup menu (right button on the panel) and its "Open Queue" entry -------------
click_at 300 10 3
menu_shown() {  # a second visible window of the player: the menu
    [ "$(xdotool search --all --onlyvisible --pid "$PLAYER_PID" --name '.*' 2>/dev/null | wc -l)" -ge 2 ]
}
wait_until 10 menu_shown || fail "the right mouse button showed no popup menu"
screenshot "$WORK/popup-menu.png" 0 0 540 260
click_at 360 90            # "Open Queue", the fourth entry
if ! wait_until 10 find_window '^Queue$'; then
    fail "the popup menu's Open Queue showed no queue editor"; e2e_end
fi
QUEUE_WIN=$FOUND
origin=$(window_origin "$QUEUE_WIN"); QX=${origin%,*}; QY=${origin#*,}
editor_click() { click_at $((QX + $1)) $((QY + $2)); sleep 0.3; }

# File list rows (sorted): alpha.avi, beta.avi. Add beta first, then alpha.
editor_click 35 196        # beta.avi
editor_click 220 96        # "Add  >"
editor_click 35 182        # alpha.avi
editor_click 220 96
screenshot "$WORK/queue-editor.png" "$QX" "$QY" 482 356

# -- Save (the disk button): the file holds the entries in queue order ------------------
editor_click 196 53
if wait_until 10 find_window '^Save As$'; then
    type_text "$FOUND" "${SAVED%.kql}"     # the dialog adds the extension
    xdotool key Return
    if wait_until 10 test -s "$SAVED"; then
        printf '%s\r\n%s\r\n' "$CLIPS/beta.avi" "$CLIPS/alpha.avi" >"$WORK/expected.kql"
        cmp -s "$WORK/expected.kql" "$SAVED" || fail "saved queue: $(od -c "$SAVED" | head -5)"
    else
        fail "no queue file written at $SAVED"
    fi
else
    fail "the save button showed no Save As dialog"
fi

# -- OK plays the queue from its first entry, then the next -----------------------------
editor_click 220 304
wait_until 15 caption_matches "$PANEL" '^BETA\.AVI +- +Frame:' \
    || fail "OK did not play the first entry: [$(caption "$PANEL")]"
wait_until 30 caption_matches "$PANEL" '^ALPHA\.AVI +- +Frame:' \
    || fail "the queue did not go on to the second entry: [$(caption "$PANEL")]"
close_then_exit

# -- The saved queue on the command line plays by itself --------------------------------
if [ -s "$SAVED" ]; then
    start_player "$SAVED" || e2e_end
    wait_until 20 caption_matches "$PANEL" '^BETA\.AVI +- +Frame:' \
        || fail "a queue file on the command line did not start: [$(caption "$PANEL")]"
    wait_until 30 caption_matches "$PANEL" '^ALPHA\.AVI +- +Frame:' \
        || fail "the command-line queue did not go on: [$(caption "$PANEL")]"
    close_then_exit
fi
e2e_end
