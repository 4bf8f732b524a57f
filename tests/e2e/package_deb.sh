#!/usr/bin/env bash
# The Debian package, built as `cpack -G DEB` builds it, passes lintian without
# errors; its warnings are shown in the log. It also holds what a package of
# Debian must (copyright, changelog) and the software centre's entry.
#   bash package_deb.sh BUILD_DIR
set -uo pipefail
BUILD=$(cd "${1:?build directory}" && pwd)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/keld-e2e-deb.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
FAILURES=0
fail() { echo "FAIL [deb]: $*"; FAILURES=$((FAILURES + 1)); }

# Built in a folder of its own, so that a package in the build tree is left alone.
if ! cpack -G DEB -B "$WORK" --config "$BUILD/CPackConfig.cmake" >"$WORK/cpack.log" 2>&1; then
    cat "$WORK/cpack.log"; echo "deb: cpack failed"; exit 1
fi
DEB=$(ls "$WORK"/keld32_*.deb 2>/dev/null | head -1)
[ -f "$DEB" ] || { echo "deb: no package in $WORK"; exit 1; }

dpkg-deb -c "$DEB" >"$WORK/contents"
for f in usr/bin/KELD32 usr/share/doc/keld32/copyright usr/share/doc/keld32/changelog.gz \
         usr/share/metainfo/org.example.keld32.metainfo.xml usr/share/applications/keld32.desktop; do
    grep -q " \./$f\$" "$WORK/contents" || fail "the package lacks /$f"
done

lintian --pedantic --fail-on error "$DEB" >"$WORK/lintian.log" 2>&1
rc=$?
grep -E '^[EWI]: ' "$WORK/lintian.log"
grep -q '^E: ' "$WORK/lintian.log" && fail "lintian reports errors"
[ "$rc" -eq 0 ] || grep -q '^E: ' "$WORK/lintian.log" || { cat "$WORK/lintian.log"; fail "lintian failed ($rc)"; }

if [ "$FAILURES" -ne 0 ]; then echo "deb: $FAILURES check(s) failed"; exit 1; fi
echo "deb e2e: all checks passed"
