# Shared steps of the desktop end-to-end scripts (sourced, bash).
# They drive the real player under a virtual X server as a person would
# (xdotool keys, clicks, drags and typing) and read every result from outside:
# window captions and geometry, the stamped frame number on screen or in a
# captured bitmap, and the files the player writes.
#
#   e2e_begin NAME BUILD_DIR   re-runs the calling script under xvfb-run, then
#                              sets PLAYER, HELPERS, WORK, XDG_CONFIG_HOME
#   e2e_setup NAME BUILD_DIR   the same without the X server, for scripts that
#                              bring their own display
# KELD32_BIN=/prefix/bin/KELD32 runs an installed player instead of the build tree's.
# KELD32_SCREENSHOTS=DIR also keeps the pictures taken for the README there.

e2e_begin() {
    BUILD=$(cd "${2:?build directory}" && pwd)
    if [ -z "${KELD_E2E_INNER:-}" ]; then
        exec bash "$(dirname "${BASH_SOURCE[0]}")/xvfb-run-own.sh" -s "-screen 0 1024x768x24 -nolisten tcp" \
            env KELD_E2E_INNER=1 bash "$E2E_SCRIPT" "$BUILD"
    fi
    e2e_setup "$1" "$BUILD"
    wait_for_display
}

# The server is up when xvfb-run hands over, but say so plainly when it is not:
# a player that cannot reach its display would otherwise read as a player fault.
wait_for_display() {
    wait_until 10 xdpyinfo >/dev/null 2>&1 && return 0
    echo "the X server $DISPLAY does not answer; its messages:"
    cat "${KELD_XVFB_LOG:-/dev/null}" 2>/dev/null
    exit 1
}

e2e_setup() {
    local name=$1
    BUILD=$(cd "${2:?build directory}" && pwd)
    PLAYER=${KELD32_BIN:-$BUILD/KELD32}
    HELPERS=${KELD32_E2E_HELPERS:-$BUILD/tests/e2e/lib}
    [ -x "$PLAYER" ] || { echo "no player at $PLAYER"; exit 1; }
    WORK=$(mktemp -d "${TMPDIR:-/tmp}/keld-e2e-$name.XXXXXX")
    trap 'e2e_cleanup' EXIT
    export XDG_CONFIG_HOME="$WORK/config" XDG_RUNTIME_DIR="$WORK/runtime"
    export KELD32_ERRORS_TO_STDERR=1 QT_QPA_PLATFORM=xcb
    mkdir -p "$XDG_CONFIG_HOME" && mkdir -p -m 700 "$XDG_RUNTIME_DIR"
    E2E_NAME=$name
    FAILURES=0
    PLAYER_PID=""
}

# e2e_session_bus BUILD_DIR: re-runs the calling script on a private D-Bus session
# bus (dbus-run-session), so that desktop clients reach only the player under test;
# call it before e2e_begin.
e2e_session_bus() {
    if [ -z "${KELD_E2E_BUS:-}" ]; then
        exec env KELD_E2E_BUS=1 dbus-run-session -- bash "$E2E_SCRIPT" "$1"
    fi
}

e2e_cleanup() {
    [ -n "$PLAYER_PID" ] && kill "$PLAYER_PID" 2>/dev/null
    [ -n "${KEEP_WORK:-}" ] && echo "kept $WORK" || rm -rf "$WORK"
}

fail() { echo "FAIL [$E2E_NAME]: $*"; FAILURES=$((FAILURES + 1)); }

check_eq() {  # what expected actual
    [ "$2" = "$3" ] || fail "$1: expected [$2], got [$3]"
}

e2e_end() {
    if [ "$FAILURES" -ne 0 ]; then
        echo "$E2E_NAME: $FAILURES check(s) failed"
        exit 1
    fi
    echo "$E2E_NAME e2e: all checks passed"
    exit 0
}

# wait_until SECONDS COMMAND...: polls until the command succeeds; 1 when it never did.
# A deadline only, never a measurement: a slow machine passes, just later.
wait_until() {
    local deadline=$((SECONDS + $1)); shift
    until "$@"; do
        [ "$SECONDS" -ge "$deadline" ] && return 1
        sleep 0.2
    done
}

# make_stamped_clip FILE FRAMES: 320x240 MJPEG at 25 frames per second; frame n
# shows 16 vertical bars, bar i white when bit i of n is set. Every frame is a
# key frame, so any frame can be shown exactly and at once.
make_stamped_clip() {
    local seconds
    seconds=$(awk "BEGIN { printf \"%.3f\", $2 / 25 }")
    ffmpeg -v error -y -f lavfi \
        -i "color=c=black:s=320x240:r=25:d=$seconds,format=gray,geq=lum='if(mod(floor(N/pow(2\,floor(X*16/W)))\,2)\,235\,16)',format=yuvj420p" \
        -c:v mjpeg -q:v 3 "$1"
}

# Starts the player in the background with the given arguments, from directory $RUN_DIR
# (default $WORK); waits for the panel and sets PANEL to its window id.
start_player() {
    local dir=${RUN_DIR:-$WORK} try
    for try in 1 2 3; do
        ( cd "$dir" && exec "$PLAYER" "$@" ) >"$WORK/player.out" 2>"$WORK/player.err" &
        PLAYER_PID=$!
        PANEL=""
        wait_until 20 panel_or_dropped || break
        [ -n "$PANEL" ] && return 0
        echo "note: the X server dropped the player's connection (start $try); starting it again"
    done
    fail "the panel never appeared"
    cat "$WORK/player.err"
    xdpyinfo >/dev/null 2>&1 || { echo "the X server $DISPLAY no longer answers:"; cat "${KELD_XVFB_LOG:-/dev/null}" 2>/dev/null; }
    return 1
}

panel_or_dropped() { find_panel || dropped_by_x "$PLAYER_PID" "$WORK/player.err"; }

# dropped_by_x PID ERRFILE: the player ended without ever reaching the display.
# Xvfb (21.1) now and then closes a new client's connection unanswered when it
# arrives while other clients come and go: 7 to 27 of 1000 connects with a poller
# beside them, none of 1500 without. Such a player is started again.
dropped_by_x() {
    ! kill -0 "$1" 2>/dev/null && grep -q "could not connect to display" "$2"
}

find_panel() {
    local w
    for w in $(xdotool search --all --onlyvisible --pid "$PLAYER_PID" --name '.' 2>/dev/null); do
        if [ "$(window_size "$w")" = "440x21" ]; then PANEL=$w; return 0; fi
    done
    return 1
}

# The display window: borderless, named "Vantu's MCI Video Player".
find_display() {
    DISPLAY_WIN=$(xdotool search --all --onlyvisible --pid "$PLAYER_PID" --name "^Vantu's MCI Video Player\$" 2>/dev/null | head -1)
    [ -n "$DISPLAY_WIN" ]
}

# find_window TITLE_REGEX: sets FOUND to the first visible window of the player so named.
find_window() {
    FOUND=$(xdotool search --all --onlyvisible --pid "$PLAYER_PID" --name "$1" 2>/dev/null | head -1)
    [ -n "$FOUND" ]
}

caption() { xdotool getwindowname "$1" 2>/dev/null; }

# A digest of the icon a window offers its window manager (_NET_WM_ICON); "none"
# when it offers none.
window_icon() {
    local numbers
    numbers=$(xprop -id "$1" -notype 32c _NET_WM_ICON 2>/dev/null | grep ' = ')
    if [ -z "$numbers" ]; then echo none; else echo "$numbers" | md5sum | cut -c1-32; fi
}
caption_matches() { [[ "$(caption "$1")" =~ $2 ]]; }

window_size() {  # WxH
    xwininfo -id "$1" 2>/dev/null | awk '/^  Width:/ { w = $2 } /^  Height:/ { h = $2 } END { print w "x" h }'
}
window_origin() {  # X,Y on the screen
    xwininfo -id "$1" 2>/dev/null | awk '/Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 } END { print x "," y }'
}

# The frame number in the panel's caption "NAME     -     Frame:  N / LENGTH".
caption_frame() {
    caption "$PANEL" | sed -n 's/.*Frame:  *\([0-9-]*\) \/.*/\1/p'
}

# Keys go to the window that has the input focus; with no window manager the
# focus is set directly.
press() {  # WINDOW KEY...
    local win=$1; shift
    xdotool windowfocus --sync "$win" 2>/dev/null || xdotool windowfocus "$win"
    xdotool key --clearmodifiers "$@"
}
type_text() {  # WINDOW TEXT
    xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
    xdotool type --delay 10 "$2"
}
click_at() {  # X Y [BUTTON]: screen coordinates
    xdotool mousemove --sync "$1" "$2" click "${3:-1}"
}

# stamp_of_gray16: 16 bytes of mean grey, one per bar, on stdin -> the frame number.
stamp_of_gray16() {
    od -An -v -tu1 | awk '{ for (i = 1; i <= NF; i++) v[n++] = $i }
        END { if (n != 16) { print "unreadable"; exit }
              s = 0; for (i = 15; i >= 0; i--) s = s * 2 + (v[i] > 128); print s }'
}

# screen_stamp X Y W H: the stamped frame number shown in that part of the screen.
screen_stamp() {
    ffmpeg -v error -f x11grab -video_size "$3x$4" -i "$DISPLAY+$1,$2" -frames:v 1 \
        -vf "scale=16:1:flags=area,format=gray" -f rawvideo - 2>/dev/null | stamp_of_gray16
}

# display_stamp: the frame number shown in the whole display window.
display_stamp() {
    local origin size
    origin=$(window_origin "$DISPLAY_WIN"); size=$(window_size "$DISPLAY_WIN")
    screen_stamp "${origin%,*}" "${origin#*,}" "${size%x*}" "${size#*x}"
}

# bitmap_stamp FILE: the frame number stamped into a captured bitmap.
bitmap_stamp() {
    ffmpeg -v error -i "$1" -vf "scale=16:1:flags=area,format=gray" -f rawvideo - 2>/dev/null | stamp_of_gray16
}

# stamp_is N: true when the display shows frame N.
stamp_is() { [ "$(display_stamp)" = "$1" ]; }

# screenshot FILE [X Y W H]: a PNG of the screen or a part of it; also kept for
# the README when KELD32_SCREENSHOTS names a folder.
screenshot() {
    local file=$1 x=${2:-0} y=${3:-0} w=${4:-1024} h=${5:-768}
    ffmpeg -v error -y -f x11grab -video_size "${w}x${h}" -i "$DISPLAY+$x,$y" -frames:v 1 "$file"
    if [ -n "${KELD32_SCREENSHOTS:-}" ]; then
        mkdir -p "$KELD32_SCREENSHOTS" && cp "$file" "$KELD32_SCREENSHOTS/"
    fi
}

# A setting as the player wrote it (value names in any case, quotes and type marks removed).
setting() {  # NAME
    local line
    line=$(grep -i -m1 "^$1=" "$XDG_CONFIG_HOME/Vantu/ZORVEX.conf" 2>/dev/null) || return 1
    line=${line#*=}; line=${line%\"}; line=${line#\"}
    echo "${line#int32:}"
}

player_ended() { ! kill -0 "$PLAYER_PID" 2>/dev/null; }

# expect_clean_end WHAT: waits up to 20 s for the player to end by itself after WHAT
# (killing it if it does not) and checks exit status 0: a player killed on the way
# out writes no settings.
expect_clean_end() {
    if ! wait_until 20 player_ended; then
        fail "$1 did not end the player"
        kill -KILL "$PLAYER_PID"
    fi
    wait "$PLAYER_PID" 2>/dev/null
    local rc=$?
    PLAYER_PID=""
    [ "$rc" -eq 0 ] || fail "$1 ended the player with status $rc: $(tr '\r' '\n' <"$WORK/player.err" | grep -m1 -A2 'Error')"
}

# Ends the run through the Exit entry (Ctrl+Q), as a user would.
exit_player() {
    press "$PANEL" ctrl+q
    expect_clean_end "Ctrl+Q"
}

# Closes the medium (Ctrl+X), then exits: for the scripts whose subject is not
# the exit with a medium open.
close_then_exit() {
    press "$PANEL" ctrl+x
    closed() { caption_matches "$PANEL" "^Vantu's MCI Video File Player\$"; }
    wait_until 10 closed || fail "Ctrl+X did not close the medium: [$(caption "$PANEL")]"
    exit_player
}

# open_file PATH: the Open File entry (Ctrl+O), the path typed into the dialog.
open_file() {
    press "$PANEL" ctrl+o
    wait_until 10 find_window '^Open File$' || { fail "no open dialog"; return 1; }
    type_text "$FOUND" "$1"
    xdotool key Return
}
