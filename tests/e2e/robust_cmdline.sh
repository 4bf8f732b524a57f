#!/usr/bin/env bash
# Bad media and hostile names on the real program's command line: each must show
# an error text, end the program within a bounded time, and never crash.
# A file without read permission is tried as the user "nobody" (root reads anything).
# $1 = build directory.
set -uo pipefail

BUILD=$(cd "${1:?build directory}" && pwd)
PLAYER="$BUILD/KELD32"

if [ -z "${KELD_E2E_INNER:-}" ]; then
  exec bash "$(dirname "$0")/lib/xvfb-run-own.sh" -s "-screen 0 1024x768x24" env KELD_E2E_INNER=1 bash "$0" "$BUILD"
fi

WORK=$(mktemp -d "${TMPDIR:-/tmp}/keld-e2e-robust.XXXXXX")
chmod 755 "$WORK"
trap 'rm -rf "$WORK"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

export KELD32_ERRORS_TO_STDERR=1
export XDG_RUNTIME_DIR="$WORK/runtime"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb
export XDG_CONFIG_HOME="$WORK/config"
mkdir -p "$XDG_CONFIG_HOME"

ff() { ffmpeg -v error -y "$@" || echo "ffmpeg failed: $*"; }
ff -f lavfi -i testsrc=duration=2:size=320x240:rate=25 -pix_fmt yuv420p -c:v libx264 -g 25 "$WORK/good.mp4"
ff -f lavfi -i testsrc=duration=2:size=320x240:rate=25 -c:v libx264 "$WORK/good.mkv"
: > "$WORK/empty.mp4"
head -c 32768 /dev/urandom > "$WORK/noise.avi"
head -c 3000 "$WORK/good.mp4" > "$WORK/cut.mp4"
head -c 700 "$WORK/good.mkv" > "$WORK/cut.mkv"
{ printf 'YUV4MPEG2 W60000 H60000 F25:1 Ip A1:1 C420jpeg\nFRAME\n'; head -c 4096 /dev/urandom; } > "$WORK/huge.avi"
ff -f lavfi -i color=size=64x48:rate=25 -frames:v 0 -c:v mpeg4 "$WORK/zero.mkv"
ff -f lavfi -i sine=frequency=440:duration=1 -c:a aac "$WORK/sound.mp4"
mkdir -p "$WORK/folder.avi"
cp "$WORK/good.mp4" "$WORK/with\"quote.mp4"
cp "$WORK/good.mp4" "$WORK/decoy.mp4"

# Runs the player on one file; expects an error text and a normal end.
expect_refused() {
  local what=$1 file=$2; shift 2
  timeout -k 5 60 "$@" "$PLAYER" "$file" >"$WORK/out" 2>"$WORK/err"
  local rc=$?
  if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
    fail "$what: the program did not end within 60 s"
  elif [ "$rc" -gt 128 ]; then
    fail "$what: the program died of signal $((rc - 128))"; tail -5 "$WORK/err"
  elif ! grep -q '^KELD32: ' "$WORK/err"; then
    fail "$what: no error text was shown"; tail -5 "$WORK/err"
  else
    echo "ok: $what -> $(grep -m1 '^KELD32: ' "$WORK/err" | cut -c1-100)"
  fi
}

expect_refused "missing file" "$WORK/missing.mp4"
expect_refused "empty file" "$WORK/empty.mp4"
expect_refused "random bytes" "$WORK/noise.avi"
expect_refused "truncated mp4" "$WORK/cut.mp4"
expect_refused "truncated mkv" "$WORK/cut.mkv"
expect_refused "huge dimensions" "$WORK/huge.avi"
expect_refused "zero frames" "$WORK/zero.mkv"
expect_refused "audio only" "$WORK/sound.mp4"
expect_refused "directory" "$WORK/folder.avi"
expect_refused "double quote in the name" "$WORK/with\"quote.mp4"
expect_refused "name that would alias another file" "$WORK/decoy.mp4\" alias w \""
# Quoted as it is, this one is a valid command that opens decoy.mp4 instead.
expect_refused "name that would open another file" "$WORK/decoy.mp4\" type \"mpegvideo"
grep -q 'double quote' "$WORK/err" || fail "the refused name was not explained"
# "café.mp4" in Latin-1 bytes: it exists, but its name cannot reach the device.
cp "$WORK/good.mp4" "$WORK/caf"$'\xe9'".mp4"
expect_refused "name that is not UTF-8" "$WORK/caf"$'\xe9'".mp4"
grep -q 'not valid UTF-8' "$WORK/err" || fail "the name that is not UTF-8 was reported as: $(grep -m1 '^KELD32: ' "$WORK/err")"

# Options Qt knows (-stylesheet FILE, -style=..., -reverse) are the player's file
# names: Qt took them off the command line, and -stylesheet read FILE as a style sheet.
cp "$WORK/good.mp4" "$WORK/-stylesheet good.mp4"
cp "$WORK/good.mp4" "$WORK/-style=x.mp4"
expect_played() {
  local what=$1; shift
  ( cd "$WORK" && exec timeout -k 5 60 "$PLAYER" "$@" ) >"$WORK/out" 2>"$WORK/err"
  local rc=$?
  if [ "$rc" -ne 0 ]; then
    fail "$what: exit status $rc (124: still running after 60 s)"; tail -5 "$WORK/err"
  elif grep -q '^KELD32: ' "$WORK/err"; then
    fail "$what: $(grep -m1 '^KELD32: ' "$WORK/err")"
  else
    echo "ok: $what"
  fi
}
expect_played "arguments that Qt would take, joined into one file name" -stylesheet good.mp4
expect_played "a Qt option with a value as a file name" -style=x.mp4
# No such file, and no extension: refused as a file, not swallowed as an option.
expect_refused "-reverse as a file name" -reverse
grep -q 'No device is bound to the file' "$WORK/err" \
  || fail "-reverse was not tried as a file: $(grep -m1 '^KELD32: ' "$WORK/err")"

# No read permission: root reads anything, so the player runs as nobody, offscreen
# (nobody may not use the root's X server) with the device headless.
cp "$WORK/good.mp4" "$WORK/secret.mp4"
chmod 000 "$WORK/secret.mp4"
mkdir -p -m 777 "$WORK/nobody"
if [ "$(id -u)" -eq 0 ]; then
  expect_refused "file without read permission" "$WORK/secret.mp4" \
    env QT_QPA_PLATFORM=offscreen KELD32_MCI_HEADLESS=1 XDG_CONFIG_HOME="$WORK/nobody" \
        XDG_RUNTIME_DIR="$WORK/nobody" HOME="$WORK/nobody" \
        setpriv --reuid=65534 --regid=65534 --clear-groups
else
  expect_refused "file without read permission" "$WORK/secret.mp4"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"; exit 1
fi
echo "robust command-line e2e: all checks passed"
