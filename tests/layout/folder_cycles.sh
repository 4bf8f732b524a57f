#!/bin/bash
# Fails when the folders under src/ include each other in a cycle: each folder
# is a library that may only include the folders below it.
# Usage: folder_cycles.sh SRC_DIR
set -euo pipefail
src=${1:?source folder}
cd "$src"
edges=$(grep -rHoE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[A-Za-z0-9_]+/' --include='*.h' --include='*.cpp' . \
    | sed -E 's#^\./([^/]+)/[^:]*:.*"([^/]+)/$#\1 \2#' | sort -u)
if ! out=$(printf '%s\n' "$edges" | awk '$1 != $2' | tsort 2>&1 >/dev/null) || [ -n "$out" ]; then
    echo "folders under $src include each other in a cycle:" >&2
    echo "$out" >&2
    exit 1
fi
echo "no folder-level include cycle under $src"
