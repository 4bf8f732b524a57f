#!/usr/bin/env bash
# The desktop's remote control: the player on a private session bus, driven by
# Debian's playerctl as media keys, sound menus and panel widgets drive it over
# MPRIS 2. A clip opened over the bus plays; play-pause pauses and plays again as
# the caption shows; a position lands on its exact frame, a relative seek too;
# the metadata names the file and its length; the panel's play key is heard on
# the bus, and stop stops; a follower sees each change of status once, as it
# happens; Quit ends the program with the settings written, the volume set over
# the bus among them; next and previous move a queue. Without a session bus the
# player runs as before.
#   bash desktop_mpris.sh BUILD_DIR       (KELD32_BIN=... for an installed player)
set -uo pipefail
E2E_SCRIPT=$(readlink -f "$0")
source "$(dirname "$E2E_SCRIPT")/lib/e2e.sh"
e2e_session_bus "${1:?build directory}"
e2e_begin mpris "$1"

CLIP="$WORK/stamp.avi"
make_stamped_clip "$CLIP" 250 || { echo "ffmpeg could not make the clip"; exit 1; }  # 10 s

pctl() { playerctl -p keld32 "$@" 2>/dev/null; }
status_is() { [ "$(pctl status)" = "$1" ]; }
bus_call() {  # INTERFACE.METHOD [ARG...]
    local method=$1; shift
    dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.keld32 /org/mpris/MediaPlayer2 "$method" "$@" 2>&1
}
frame_shown_is() { [ "$(caption_frame)" = "$1" ] && stamp_is "$1"; }
caption_past() { local f; f=$(caption_frame); [ -n "$f" ] && [ "$f" -gt "$1" ]; }
# Once the picture stands, the poll catches up with it: the frame both show.
standing_frame() {
    local f
    wait_until 10 eval '[ -n "$(caption_frame)" ] && f=$(caption_frame) && stamp_is "$f"' || return 1
    echo "$f"
}

# -- Who is on the bus ---------------------------------------------------------------
start_player /noautodetect || e2e_end
wait_until 20 status_is Stopped || { fail "playerctl found no keld32 on the session bus"; e2e_end; }
root=$(bus_call org.freedesktop.DBus.Properties.GetAll string:org.mpris.MediaPlayer2)
for needle in "string \"Vantu's MCI Video File Player\"" 'string "keld32"' 'string "file"' \
              'string "video/x-msvideo"' 'string "video/mp4"'; do
    grep -qF "$needle" <<<"$root" || fail "the root interface lacks $needle"
done
# A widget follows the status as it changes; the bus carries every announcement.
playerctl -p keld32 --follow status >"$WORK/follow.txt" 2>/dev/null &
FOLLOWER=$!
dbus-monitor --session "type='signal',path='/org/mpris/MediaPlayer2',member='PropertiesChanged'" \
    >"$WORK/signals.txt" 2>/dev/null &
MONITOR=$!
trap 'kill "$FOLLOWER" "$MONITOR" 2>/dev/null; e2e_cleanup' EXIT
wait_until 10 grep -qx Stopped "$WORK/follow.txt" || fail "playerctl --follow status saw no status"
wait_until 10 test -s "$WORK/signals.txt" || fail "dbus-monitor did not start"
last_followed_is() { [ "$(tail -1 "$WORK/follow.txt")" = "$1" ]; }

refused=$(bus_call org.mpris.MediaPlayer2.Player.OpenUri string:https://example.org/clip.avi)
grep -q '^Error org.freedesktop.DBus.Error.NotSupported' <<<"$refused" \
    || fail "OpenUri of a web address was not refused: $refused"

# -- Open over the bus, then play-pause three times -------------------------------------
pctl open "file://$CLIP" || fail "playerctl open failed"
wait_until 15 caption_matches "$PANEL" '^STAMP\.AVI +- +Frame:' || fail "OpenUri did not open the clip: [$(caption "$PANEL")]"
wait_until 10 find_display || fail "no display window"
wait_until 10 status_is Playing || fail "the opened clip does not play: $(pctl status)"
check_eq "metadata" "stamp.avi|10000000|file://$CLIP" \
    "$(pctl metadata --format '{{xesam:title}}|{{mpris:length}}|{{xesam:url}}')"

pctl play-pause
wait_until 10 status_is Paused || fail "play-pause did not pause: $(pctl status)"
paused_at=$(standing_frame) || fail "after play-pause the caption [$(caption "$PANEL")] never met the picture"
pctl play-pause
wait_until 10 caption_past "${paused_at:-0}" || fail "play-pause did not play on from frame $paused_at: [$(caption "$PANEL")]"
status_is Playing || fail "after the second play-pause: $(pctl status)"
pctl play-pause
wait_until 10 status_is Paused || fail "the third play-pause did not pause: $(pctl status)"

# -- Positions: 4 s is frame 100 at 25 frames per second; 1 s on is frame 125 ----------
pctl position 4
wait_until 10 frame_shown_is 100 \
    || fail "position 4 shows frame $(display_stamp), caption [$(caption "$PANEL")], not frame 100"
check_eq "position after position 4" 4.000000 "$(pctl position)"
pctl position 1+
wait_until 10 frame_shown_is 125 \
    || fail "position 1+ shows frame $(display_stamp), caption [$(caption "$PANEL")], not frame 125"
status_is Paused || fail "a seek while paused left the player $(pctl status)"

# -- Play from the panel, stop from the desktop ------------------------------------------
# Played with the panel's own key: the desktop hears of that too.
press "$PANEL" 6
wait_until 10 last_followed_is Playing || fail "the follower did not see the key play: $(tail -1 "$WORK/follow.txt")"
# The poll comes back once the device reports that it plays, as after the Play button.
wait_until 10 caption_past 125 || fail "play did not play on: [$(caption "$PANEL")]"
pctl stop
wait_until 10 status_is Stopped || fail "stop left the player $(pctl status)"
standing_frame >/dev/null || fail "after stop the picture did not stand: [$(caption "$PANEL")]"

# Each change was announced once, as it happened, and nothing else was: the poll
# ran all along, and the status stood still between the commands.
wait_until 10 last_followed_is Stopped || fail "the follower's last status is $(tail -1 "$WORK/follow.txt")"
check_eq "statuses a follower saw" "Stopped Playing Paused Playing Paused Playing Stopped" \
    "$(paste -sd' ' "$WORK/follow.txt")"

# -- Volume, then Quit: the settings are written as after Exit --------------------------
pctl volume 0.3
check_eq "volume read back" 0.300000 "$(pctl volume)"
wait_until 10 grep -q 'string "Volume"' "$WORK/signals.txt" || fail "the volume change was not announced"
check_eq "status announcements" 6 "$(grep -c 'string "PlaybackStatus"' "$WORK/signals.txt")"
kill "$FOLLOWER" "$MONITOR" 2>/dev/null
bus_call org.mpris.MediaPlayer2.Quit >"$WORK/quit.out"
expect_clean_end "Quit"
check_eq "WVolume written after Quit" 300 "$(setting WVolume)"

# -- Next and previous move a queue ------------------------------------------------------
cp "$CLIP" "$WORK/alpha.avi" && cp "$CLIP" "$WORK/beta.avi"
printf '%s\r\n%s\r\n' "$WORK/alpha.avi" "$WORK/beta.avi" >"$WORK/two.kql"
start_player "$WORK/two.kql" || e2e_end
wait_until 20 caption_matches "$PANEL" '^ALPHA\.AVI .*Nr\.:  1 / 2$' \
    || fail "the queue did not start: [$(caption "$PANEL")]"
# Paused, the first entry cannot end and move the queue by itself.
pctl pause
wait_until 10 status_is Paused || fail "pause did not pause: $(pctl status)"
pctl next
wait_until 15 caption_matches "$PANEL" '^BETA\.AVI .*Nr\.:  2 / 2$' \
    || fail "next did not move the queue: [$(caption "$PANEL")]"
check_eq "title after next" beta.avi "$(pctl metadata --format '{{xesam:title}}')"
pctl previous
wait_until 15 caption_matches "$PANEL" '^ALPHA\.AVI .*Nr\.:  1 / 2$' \
    || fail "previous did not move the queue back: [$(caption "$PANEL")]"
close_then_exit

# -- No session bus: the player runs as before, saying so once ---------------------------
bus=$DBUS_SESSION_BUS_ADDRESS
unset DBUS_SESSION_BUS_ADDRESS
start_player /noautodetect || e2e_end
export DBUS_SESSION_BUS_ADDRESS=$bus
wait_until 10 grep -q 'without MPRIS' "$WORK/player.err" || fail "no word on standard error without a session bus"
exit_player
check_eq "lines about the missing bus" 1 "$(grep -c 'MPRIS' "$WORK/player.err")"
e2e_end
