#!/usr/bin/env bash
# Soak: a queue file of many short clips played through from the command line.
# Watched from outside through the panel caption ("NAME - Frame: f / n - Nr.: i / N"):
# every entry must be played, in order, and the resident memory may grow by less
# than 10 MB from the 10th entry to the last.
# $1 = build directory; KELD_SOAK_CLIPS = number of clips (default 40, the CI form).
# Every clip is drawn as a user sees it; KELD_SOAK_REAL_VIDEO=0 uses the headless
# device instead, which measures the player's own memory without libmpv's output.
# One reading of the resident size is taken as each entry starts; a single reading
# lands at a random point of an open or a close (about 10 MB apart), so the growth
# is measured between the medians of ten readings: entries 10-19 and the last ten.
set -uo pipefail

BUILD=$(cd "${1:?build directory}" && pwd)
PLAYER="$BUILD/KELD32"
CLIPS=${KELD_SOAK_CLIPS:-40}

if [ -z "${KELD_E2E_INNER:-}" ]; then
  exec bash "$(dirname "$0")/lib/xvfb-run-own.sh" -s "-screen 0 1024x768x24" env KELD_E2E_INNER=1 KELD_SOAK_CLIPS="$CLIPS" KELD_SOAK_REAL_VIDEO="${KELD_SOAK_REAL_VIDEO:-1}" bash "$0" "$BUILD"
fi
if [ "${KELD_SOAK_REAL_VIDEO:-1}" = 0 ]; then
  export KELD32_MCI_HEADLESS=1
fi

WORK=$(mktemp -d "${TMPDIR:-/tmp}/keld-e2e-soak.XXXXXX")
trap 'rm -rf "$WORK"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null' EXIT
export KELD32_ERRORS_TO_STDERR=1
export XDG_RUNTIME_DIR="$WORK/runtime"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb
export XDG_CONFIG_HOME="$WORK/config"
mkdir -p "$XDG_CONFIG_HOME/Vantu"
# The shortest position poll, so that each end is seen soon.
printf '[General]\nWTimer=int32:1\nWTimerMin=int32:100\n' > "$XDG_CONFIG_HOME/Vantu/ZORVEX.conf"

ffmpeg -v error -f lavfi -i testsrc=duration=0.4:size=160x120:rate=25 -c:v mjpeg "$WORK/seed.avi" \
  || { echo "ffmpeg could not make the clip"; exit 1; }
: > "$WORK/soak.kql"
for i in $(seq 1 "$CLIPS"); do
  name=$(printf 'clip%04d.avi' "$i")
  cp "$WORK/seed.avi" "$WORK/$name"
  printf '%s\r\n' "$WORK/$name" >> "$WORK/soak.kql"
done

source "$(dirname "$0")/lib/e2e.sh"   # dropped_by_x
rss() { awk '/^VmRSS:/ {print $2}' "/proc/$pid/status" 2>/dev/null; }
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

win=""
for try in 1 2 3; do
  "$PLAYER" "$WORK/soak.kql" >"$WORK/out" 2>"$WORK/err" &
  pid=$!
  for _ in $(seq 1 200); do
    win=$(xdotool search --pid "$pid" --name 'Nr\.:' 2>/dev/null | head -1)
    [ -n "$win" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  [ -z "$win" ] && dropped_by_x "$pid" "$WORK/err" || break
  echo "note: the X server dropped the player's connection (start $try); starting it again"
done
[ -n "$win" ] || { fail "no queue caption appeared"; cat "$WORK/err"; exit 1; }

last=0
declare -a rssAt=()
# Median of the readings of entries $1..$2.
median() { for i in $(seq "$1" "$2"); do echo "${rssAt[$i]:-}"; done | grep . | sort -n | awk '{v[NR]=$1} END {if (NR) print v[int((NR+1)/2)]}'; }
deadline=$((SECONDS + CLIPS * 5 + 60))
while kill -0 "$pid" 2>/dev/null && [ "$SECONDS" -lt "$deadline" ]; do
  caption=$(xdotool getwindowname "$win" 2>/dev/null) || break
  if [[ "$caption" =~ ^(CLIP([0-9]{4})\.AVI).*Nr\.:\ +([0-9]+)\ /\ ([0-9]+)$ ]]; then
    nr=${BASH_REMATCH[3]}
    if [ "$nr" -ne "$last" ]; then
      file=$((10#${BASH_REMATCH[2]}))
      [ "$nr" -eq $((last + 1)) ] || fail "entry $nr followed entry $last"
      [ "$file" -eq "$nr" ] || fail "entry $nr showed clip $file"
      [ "${BASH_REMATCH[4]}" -eq "$CLIPS" ] || fail "the queue counted ${BASH_REMATCH[4]} entries"
      last=$nr
      rssAt[$nr]=$(rss)
      [ $((nr % 10)) -eq 0 ] && echo "entry $nr: RSS ${rssAt[$nr]} kB"
    fi
  fi
  sleep 0.05
done
# The caption goes with the panel as the program ends; give the end its time.
for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
if kill -0 "$pid" 2>/dev/null; then
  fail "the program was still running after its queue"; kill "$pid"
fi
wait "$pid"; rc=$?
pid=""
[ "$rc" -eq 0 ] || fail "the program ended with exit code $rc"
grep -q '^KELD32: ' "$WORK/err" && { fail "errors were shown:"; grep '^KELD32: ' "$WORK/err" | head; }
[ "$last" -eq "$CLIPS" ] || fail "only $last of $CLIPS entries were seen playing"
echo "soak: $last of $CLIPS entries played in order; RSS at entry 10: ${rssAt[10]:-?} kB, at the last: ${rssAt[$CLIPS]:-?} kB"
if [ "$CLIPS" -ge 19 ]; then
  early=$(median 10 19)
  late=$(median $((CLIPS - 9)) "$CLIPS")
  if [ -n "$early" ] && [ -n "$late" ]; then
    growth=$((late - early))
    echo "soak: median RSS of entries 10-19: $early kB, of entries $((CLIPS - 9))-$CLIPS: $late kB, growth $growth kB"
    [ "$growth" -lt 10240 ] || fail "resident memory grew by $growth kB"
  else
    fail "no memory readings"
  fi
fi
[ "$failures" -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "soak e2e: all checks passed"
