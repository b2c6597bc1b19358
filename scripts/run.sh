#!/usr/bin/env bash
# The project's main job: builds the tools and shows what a generated sample take holds.
set -euo pipefail
cd "$(dirname "$0")/.."

# Quiet while all goes well; the whole output when a step fails.
quietly() {
    local log
    log=$(mktemp)
    if ! "$@" >"$log" 2>&1; then
        cat "$log" >&2
        rm -f "$log"
        echo "run.sh: failed: $*" >&2
        exit 1
    fi
    rm -f "$log"
}

scripts/install-deps.sh
quietly cmake --preset release
quietly cmake --build --preset release -j "$(nproc 2>/dev/null || echo 2)"

take=build/release/sample.K
build/release/tools/kfile/kfile generate "$take" --frames 240 --markers 12 --segments 5
build/release/tools/kfile/kfile info "$take"
