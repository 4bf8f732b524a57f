#!/usr/bin/env bash
# xvfb-run -a from a display number of this test's own. With plain -a, two tests
# started at the same moment both take :99; the second server fails, and the second
# test's player then meets the first one's server, which refuses its cookie.
# The server's own messages go to a file the inner script can show when the
# display does not answer (KELD_XVFB_LOG).
log=$(mktemp "${TMPDIR:-/tmp}/keld-xvfb.XXXXXX")
trap 'rm -f "$log"' EXIT
KELD_XVFB_LOG=$log xvfb-run -a -n $((100 + $$ % 800)) -e "$log" "$@"
