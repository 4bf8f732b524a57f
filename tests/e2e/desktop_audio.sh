#!/usr/bin/env bash
# A sound file (MP3, no picture) in the real player, where a frame is a
# millisecond: after it has played, going to a typed position, single steps and
# the way back to the start land exactly where asked, as the panel's caption tells.
#   bash desktop_audio.sh BUILD_DIR       (KELD32_BIN=... for an installed player)
set -uo pipefail
E2E_SCRIPT=$(readlink -f "$0")
source "$(dirname "$E2E_SCRIPT")/lib/e2e.sh"
e2e_begin audio "${1:?build directory}"

TONE="$WORK/tone.mp3"
ffmpeg -v error -f lavfi -i "sine=frequency=440:duration=20" -c:a libmp3lame -b:a 128k "$TONE" \
    || { echo "ffmpeg could not make the sound file"; exit 1; }

start_player /noautodetect || e2e_end
open_file "$TONE"
wait_until 15 caption_matches "$PANEL" '^TONE\.MP3 +- +Frame: +[0-9]+ / [0-9]+$' \
    || fail "caption after open: [$(caption "$PANEL")]"

# Played once: the sound output has run, which is what used to move every later position.
frame_past() { local f; f=$(caption_frame); [ -n "$f" ] && [ "$f" -gt "$1" ]; }
press "$PANEL" 6
wait_until 15 frame_past 500 || fail "play did not move the position: [$(caption "$PANEL")]"
press "$PANEL" 6

shows() { [ "$(caption_frame)" = "$1" ]; }
press "$PANEL" ctrl+g
if wait_until 10 find_window '^Goto Frame$'; then
    press "$FOUND" ctrl+a
    type_text "$FOUND" 5000
    xdotool key Return
    wait_until 10 shows 5000 || fail "go to 5000 shows [$(caption_frame)]"
else
    fail "Ctrl+G showed no go-to-frame dialog"
fi
press "$PANEL" 2
wait_until 10 shows 5001 || fail "a step forward from 5000 shows [$(caption_frame)]"
press "$PANEL" 2
wait_until 10 shows 5002 || fail "a second step shows [$(caption_frame)]"
press "$PANEL" 7
wait_until 10 shows 0 || fail "to the start shows [$(caption_frame)]"
close_then_exit
e2e_end
