#!/usr/bin/env bash
# mcisend end to end: sysinfo, a bare device, and errors, with no media and no display.
set -u
build="${1:?usage: mcisend.sh BUILD_DIR}"
tool="$build/mcisend"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export KELD32_MCI_HEADLESS=1 XDG_CONFIG_HOME="$work/config"
unset DISPLAY

failures=0
expect_eq() {  # name expected actual
    if [ "$2" != "$3" ]; then
        echo "FAIL $1: expected [$2] got [$3]"
        failures=$((failures + 1))
    fi
}

# Commands from standard input, one per line; blank lines are skipped.
"$tool" > "$work/out" 2> "$work/err" <<'CMDS'
sysinfo all quantity
sysinfo all name 1
SYSINFO ALL NAME 4

open cdaudio alias cd
capability cd device type
Status cd ready
play cd
open cdaudio alias CD
close cd
status cd mode
open "/no/such dir/clip.avi alias vid
frobnicate vid
seek vid to 12
CMDS
rc=$?
expect_eq "exit status after failures" 1 "$rc"
tab=$'\t'
expected="0${tab}5
0${tab}avivideo
0${tab}cdaudio
0${tab}
0${tab}cdaudio
0${tab}true
302${tab}
289${tab}
0${tab}
263${tab}
294${tab}
261${tab}
263${tab}"
expect_eq "stdout lines" "$expected" "$(cat "$work/out")"
expect_eq "one error text per failed command" 6 "$(wc -l < "$work/err")"
grep -q "no closing quote" "$work/err" || { echo "FAIL missing quote text not on stderr"; failures=$((failures + 1)); }

# Commands as arguments, each argument one command; all succeed.
out="$("$tool" "open sequencer alias seq" "capability seq device type" "close all" 2> "$work/err2")"
rc=$?
expect_eq "arguments exit status" 0 "$rc"
expect_eq "arguments stdout" "0${tab}
0${tab}sequencer
0${tab}" "$out"
expect_eq "no stderr on success" "" "$(cat "$work/err2")"

# A file bound to no device, and a long command passed whole.
long="/$(printf 'x%.0s' $(seq 1 300))/clip.qqq"
out="$("$tool" "open \"$long\" alias vid" 2>/dev/null)"
expect_eq "long open, unknown extension" "281${tab}" "$out"

# A script that plays part of a clip: "wait" returns when the play (or seek) is done.
ffmpeg -v error -f lavfi -i testsrc=duration=4:size=160x120:rate=25 -c:v mjpeg "$work/clip.avi"
"$tool" > "$work/out3" 2> "$work/err3" <<CMDS
open "$work/clip.avi" alias vid
set vid time format frames
play vid from 5 to 30 wait
status vid mode
status vid position
seek vid to 80 wait
status vid mode
play vid to 10
play vid reverse to 60
play vid from 90 to 95 wait
status vid position
close vid
CMDS
expect_eq "play to, wait" "0${tab}
0${tab}
0${tab}
0${tab}stopped
0${tab}30
0${tab}
0${tab}stopped
282${tab}
0${tab}
0${tab}
0${tab}95
0${tab}" "$(cat "$work/out3")"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "mcisend e2e: all checks passed"
