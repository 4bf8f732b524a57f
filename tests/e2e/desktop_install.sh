#!/usr/bin/env bash
# What `cmake --install` puts into a prefix: both programs, a desktop entry that
# validates and offers every audio and video type the built-in extension table
# plays, an AppStream entry that validates and agrees with it, the icons of the
# hicolor theme at their sizes, and a manual page for each program that renders
# without warnings. The installed mcisend must also run.
#   bash desktop_install.sh BUILD_DIR     (KELD32_BIN=/usr/bin/KELD32: check that installation)
set -uo pipefail
E2E_SCRIPT=$(readlink -f "$0")
BUILD=$(cd "${1:?build directory}" && pwd)
HELPERS=${KELD32_E2E_HELPERS:-$BUILD/tests/e2e/lib}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/keld-e2e-install.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
FAILURES=0
fail() { echo "FAIL [install]: $*"; FAILURES=$((FAILURES + 1)); }

# With KELD32_BIN=/prefix/bin/KELD32 the installed prefix is checked as it is.
if [ -n "${KELD32_BIN:-}" ]; then
    PREFIX=$(cd "$(dirname "$KELD32_BIN")/.." && pwd)
else
    PREFIX="$WORK/prefix"
    cmake --install "$BUILD" --prefix "$PREFIX" >"$WORK/install.log" 2>&1 || { cat "$WORK/install.log"; fail "cmake --install failed"; }
fi

for f in bin/KELD32 bin/mcisend; do
    [ -x "$PREFIX/$f" ] || fail "$f not installed as a program"
done

DESKTOP="$PREFIX/share/applications/keld32.desktop"
if [ -f "$DESKTOP" ]; then
    desktop-file-validate "$DESKTOP" || fail "the desktop entry does not validate"
    grep -qx 'Exec=KELD32 %f' "$DESKTOP" || fail "the desktop entry does not start KELD32 with the file"
    grep -qx 'Categories=AudioVideo;Video;Player;' "$DESKTOP" || fail "desktop entry categories"
    grep -qx 'Icon=keld32' "$DESKTOP" || fail "desktop entry icon name"
    "$HELPERS/keld_e2e_mimecheck" "$DESKTOP" || fail "the desktop entry misses MIME types of the extension table"
else
    fail "no desktop entry at share/applications/keld32.desktop"
fi

# The software centre's entry: valid AppStream, linked to the desktop entry, and
# offering exactly the programs installed and the MIME types the desktop entry has.
META="$PREFIX/share/metainfo/org.example.keld32.metainfo.xml"
if [ -f "$META" ]; then
    appstreamcli validate --no-net "$META" >"$WORK/meta.log" 2>&1 || { cat "$WORK/meta.log"; fail "the metainfo does not validate"; }
    appstreamcli validate-tree --no-net "$PREFIX" >"$WORK/tree.log" 2>&1 || { cat "$WORK/tree.log"; fail "the installed tree does not validate"; }
    for binary in $(sed -n 's:.*<binary>\(.*\)</binary>.*:\1:p' "$META"); do
        [ -x "$PREFIX/bin/$binary" ] || fail "the metainfo provides $binary, which is not installed"
    done
    if [ -f "$DESKTOP" ]; then
        desktop_types=$(sed -n 's/^MimeType=//p' "$DESKTOP" | tr ';' '\n' | grep . | sort)
        meta_types=$(sed -n 's:.*<mediatype>\(.*\)</mediatype>.*:\1:p' "$META" | sort)
        [ "$desktop_types" = "$meta_types" ] || fail "the metainfo's MIME types differ from the desktop entry's: $(diff <(echo "$desktop_types") <(echo "$meta_types") | grep '^[<>]' | tr '\n' ' ')"
    fi
else
    fail "no metainfo at share/metainfo/org.example.keld32.metainfo.xml"
fi

ICONS="$PREFIX/share/icons/hicolor"
grep -q '<svg' "$ICONS/scalable/apps/keld32.svg" 2>/dev/null || fail "no scalable SVG icon"
for size in 48 256; do
    png="$ICONS/${size}x${size}/apps/keld32.png"
    if [ -f "$png" ]; then
        got=$(ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=p=0:s=x "$png")
        [ "$got" = "${size}x${size}" ] || fail "$png is $got, not ${size}x${size}"
        # A blank render (a missing renderer gives a transparent square) has one colour only.
        colours=$(ffmpeg -v error -i "$png" -vf "scale=8:8,format=gray" -f rawvideo - | od -An -v -tu1 | tr -s ' ' '\n' | sort -u | grep -c .)
        [ "$colours" -gt 2 ] || fail "$png looks blank"
    else
        fail "no ${size}x${size} PNG icon"
    fi
done

for page in KELD32 mcisend; do
    man="$PREFIX/share/man/man1/$page.1.gz"
    if [ -f "$man" ]; then
        text=$(MANWIDTH=80 man --warnings -l "$man" 2>"$WORK/$page.warn")
        [ -s "$WORK/$page.warn" ] && { fail "man $page warns:"; cat "$WORK/$page.warn"; }
        grep -q "^NAME" <<<"$text" || fail "man $page has no NAME section"
    else
        fail "no manual page $page(1)"
    fi
done
man_text=$(MANWIDTH=200 man -l "$PREFIX/share/man/man1/KELD32.1.gz" 2>/dev/null)
for needle in "/NOAUTODETECT" "KQL" "ZORVEX.conf" "mci extensions" "Ctrl+Q"; do
    grep -qF "$needle" <<<"$man_text" || fail "KELD32(1) does not mention $needle"
done

# The installed console tool works without a display.
out=$(env -u DISPLAY KELD32_MCI_HEADLESS=1 XDG_CONFIG_HOME="$WORK/config" "$PREFIX/bin/mcisend" "sysinfo all quantity" 2>&1)
[ "$out" = $'0\t5' ] || fail "installed mcisend answered [$out]"

if [ "$FAILURES" -ne 0 ]; then echo "install: $FAILURES check(s) failed"; exit 1; fi
echo "install e2e: all checks passed"
