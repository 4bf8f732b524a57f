#!/usr/bin/env bash
# xvfb-run -a from a display number of this test's own. With plain -a, two tests
# started at the same moment both take :99; the second server fails, and the second
# test's player then meets the first one's server, which refuses its cookie.
exec xvfb-run -a -n $((100 + $$ % 800)) "$@"
