#!/usr/bin/env bash
# The window the device draws into is destroyed by its owner while a clip plays,
# and the medium is closed right after: the device's own window inside it is gone
# too, and an X error about it must not end the program. The handle, given again,
# is refused as naming no window. The service must close, open the clip again and
# answer, and exit normally. Several rounds, since whether
# the device sees the window go before the close is a race. A handle that names no
# window at all is refused.
#   bash robust_window_gone.sh BUILD_DIR
set -uo pipefail
E2E_SCRIPT=$(readlink -f "$0")
source "$(dirname "$E2E_SCRIPT")/lib/e2e.sh"
e2e_begin window_gone "${1:?build directory}"

TOOL=$BUILD/mcisend
CLIP="$WORK/stamp.avi"
make_stamped_clip "$CLIP" 250 || { echo "ffmpeg could not make the clip"; exit 1; }

lines() { [ -f "$1" ] && [ "$(wc -l <"$1")" -ge "$2" ]; }

one_round() {  # ROUND
    local dir="$WORK/round$1" owner xid rc
    mkdir -p "$dir"
    /usr/bin/python3 "$(dirname "$E2E_SCRIPT")/lib/x_window.py" 320 240 >"$dir/owner" 2>"$dir/owner.err" &
    owner=$!
    wait_until 20 lines "$dir/owner" 1 || { fail "round $1: no window from the helper: $(cat "$dir/owner.err")"; kill "$owner"; return; }
    xid=$(head -1 "$dir/owner")

    mkfifo "$dir/in"
    "$TOOL" <"$dir/in" >"$dir/out" 2>"$dir/err" &
    local tool=$!
    exec 3>"$dir/in"
    printf 'open "%s" alias vid\nwindow vid handle %s\nplay vid\n' "$CLIP" "$xid" >&3
    wait_until 20 lines "$dir/out" 3 || fail "round $1: the clip did not start: $(cat "$dir/err")"
    sleep 0.5
    kill -USR1 "$owner"
    # Polled tightly: the close must follow the window's end before libmpv notices it.
    local k
    for k in $(seq 1 2000); do grep -q destroyed "$dir/owner" && break; sleep 0.005; done
    grep -q destroyed "$dir/owner" || fail "round $1: the helper did not destroy its window"
    # The same handle again names no window now, however often it is given.
    printf 'window vid handle %s\nwindow vid handle %s\nclose vid\nopen "%s" alias vid\nstatus vid mode\nclose vid\n' \
        "$xid" "$xid" "$CLIP" >&3
    exec 3>&-
    wait "$tool"; rc=$?
    wait "$owner" 2>/dev/null

    # Status 1 for the two refused handles; every command answered, so nothing ended it early.
    check_eq "round $1: mcisend exit status" 1 "$rc"
    check_eq "round $1: commands answered" 9 "$(wc -l <"$dir/out")"
    grep -q 'X Error' "$dir/err" && fail "round $1: an X error ended the service: $(grep -m1 -A2 'X Error' "$dir/err")"
    check_eq "round $1: the destroyed window's handle again" $'282\t\n282\t' "$(sed -n 4,5p "$dir/out")"
    check_eq "round $1: mode after the window went and the clip was opened again" $'0\tstopped' "$(sed -n 8p "$dir/out")"
}

for round in 1 2 3 4 5 6; do one_round "$round"; done
# A handle that names no window is refused, and the device goes on as before.
out=$(printf 'open "%s" alias vid\nwindow vid handle 12345\nwindow vid handle 99999999999\nstatus vid mode\nclose vid\n' \
    "$CLIP" | "$TOOL" 2>/dev/null)
check_eq "handles that name no window" $'0\t\n282\t\n282\t\n0\tstopped\n0\t' "$out"

e2e_end
