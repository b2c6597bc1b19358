#!/usr/bin/env bash
# The project's main job: builds the tools and shows what a generated sample take holds.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc 2>/dev/null || echo 2)" >/dev/null

take=build/release/sample.K
build/release/tools/kfile/kfile generate "$take" --frames 240 --markers 12 --segments 5
build/release/tools/kfile/kfile info "$take"
