#!/usr/bin/env bash
# Start-up and shutdown of the real program, as a user starts it:
#  - a file on the command line is opened, played, and the program ends by itself,
#    leaving every setting in the settings file;
#  - "/noautodetect", or no argument at all, starts with no medium and keeps running;
#  - a file that cannot be opened shows the error and ends the program.
# $1 = build directory.
set -uo pipefail

BUILD=$(cd "${1:?build directory}" && pwd)
PLAYER="$BUILD/KELD32"

# Everything below runs inside one virtual X server, so the player's pid is ours.
if [ -z "${KELD_E2E_INNER:-}" ]; then
  exec bash "$(dirname "$0")/lib/xvfb-run-own.sh" -s "-screen 0 1024x768x24" env KELD_E2E_INNER=1 bash "$0" "$BUILD"
fi

WORK=$(mktemp -d "${TMPDIR:-/tmp}/keld-e2e-startup.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The program's error box prints "KELD32: <text>" to stderr instead of waiting.
export KELD32_ERRORS_TO_STDERR=1
export XDG_RUNTIME_DIR="$WORK/runtime"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb

CLIP="$WORK/clip.mp4"
ffmpeg -v error -f lavfi -i testsrc=duration=2:size=320x240:rate=25 \
  -pix_fmt yuv420p -c:v libx264 -g 25 "$CLIP" || { echo "ffmpeg could not make the clip"; exit 1; }

# -- 1. Command mode: play the file to its end, then end the program -------------
export XDG_CONFIG_HOME="$WORK/config1"
mkdir -p "$XDG_CONFIG_HOME"
timeout -k 5 60 "$PLAYER" "$CLIP" >"$WORK/run1.out" 2>"$WORK/run1.err"
rc=$?
if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
  fail "a command-line file did not end the program after playing (still running after 60 s)"
elif [ "$rc" -ne 0 ]; then
  fail "the command-line run ended with exit code $rc"; cat "$WORK/run1.err"
fi
if grep -q '^KELD32: ' "$WORK/run1.err"; then
  fail "the command-line run showed an error:"; cat "$WORK/run1.err"
fi

CONF="$XDG_CONFIG_HOME/Vantu/ZORVEX.conf"
if [ ! -f "$CONF" ]; then
  fail "no settings file was written at exit ($CONF)"
else
  # value name (matched without regard to case) and the value a first run leaves
  declare -A expected=(
    [WVolume]=800 [WNoVolume]=false [CapDir]="" [HidePanel]=FALSE [SmartDisplay]=TRUE
    [LastPos]=TRUE [MultiStep]=OFF [Loop]=OFF [CommandLoop]=FALSE [WTimer]=2
    [WTimerMin]=500 [Timer2]=250 [Zoom]=1 [X]=0 [Y]=38 [PanelX]=ANY [PanelY]=ANY
    [WCapCount]=0 [ForceDevice]=FALSE
  )
  for name in "${!expected[@]}"; do
    line=$(grep -i -m1 "^${name}=" "$CONF")
    if [ -z "$line" ]; then
      fail "setting \"$name\" missing from the settings file"; continue
    fi
    value=${line#*=}
    value=${value%\"}; value=${value#\"}
    value=${value#int32:}   # the store marks its integer values
    want=${expected[$name]}
    if [ "$want" != ANY ] && [ "$value" != "$want" ]; then
      fail "setting \"$name\" is \"$value\", expected \"$want\""
    fi
  done
fi

# -- 1b. A one-frame file: play finds it at its end, which ends the command-mode run --
ONE="$WORK/one.avi"
ffmpeg -v error -f lavfi -i color=c=gray:size=320x240:rate=25 -frames:v 1 -c:v mjpeg "$ONE" \
  || { echo "ffmpeg could not make the one-frame clip"; exit 1; }
export XDG_CONFIG_HOME="$WORK/config1b"
mkdir -p "$XDG_CONFIG_HOME"
timeout -k 5 60 "$PLAYER" "$ONE" >"$WORK/run1b.out" 2>"$WORK/run1b.err"
rc=$?
if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
  fail "a one-frame file from the command line did not end the program (still running after 60 s)"
elif [ "$rc" -ne 0 ]; then
  fail "the one-frame run ended with exit code $rc"; cat "$WORK/run1b.err"
fi

# -- 2. No medium ("/noautodetect", or no argument: devices are detected): the program stays up
stays_up() {
  local what=$1; shift
  export XDG_CONFIG_HOME="$WORK/config-$what"
  mkdir -p "$XDG_CONFIG_HOME"
  "$PLAYER" "$@" >"$WORK/$what.out" 2>"$WORK/$what.err" &
  local pid=$!
  sleep 2
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid"; wait "$pid" 2>/dev/null
  else
    wait "$pid"; fail "the player started with $what ended by itself (exit $?)"
    cat "$WORK/$what.err"
  fi
  if grep -q '^KELD32: ' "$WORK/$what.err"; then
    fail "the player started with $what reported an error:"; cat "$WORK/$what.err"
  fi
}
stays_up noautodetect /noautodetect
stays_up no-argument

# -- 3. A file that cannot be opened: the error is shown and the program ends ---
export XDG_CONFIG_HOME="$WORK/config3"
mkdir -p "$XDG_CONFIG_HOME"
timeout -k 5 60 "$PLAYER" "$WORK/missing.avi" >"$WORK/run3.out" 2>"$WORK/run3.err"
rc=$?
if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
  fail "a command-line file that cannot be opened did not end the program"
fi
if ! grep -q '^KELD32: ' "$WORK/run3.err"; then
  fail "no error text was shown for a file that cannot be opened"
fi
[ -f "$XDG_CONFIG_HOME/Vantu/ZORVEX.conf" ] || fail "the failed run did not write the settings at its end"

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"; exit 1
fi
echo "startup e2e: all checks passed"
