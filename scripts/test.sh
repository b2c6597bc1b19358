#!/usr/bin/env bash
# The whole test suite: installs what is missing, checks formatting, then configures, builds
# and runs every test in the default build (gcc, warnings as errors), in the
# AddressSanitizer + UndefinedBehaviorSanitizer build, and in the 32-bit Windows build, whose
# tests run under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --win32
scripts/check-format.sh

jobs=$(nproc 2>/dev/null || echo 2)
for preset in ci asan win32; do
    echo "=== $preset ==="
    cmake --preset "$preset"
    cmake --build --preset "$preset" -j "$jobs"
    ctest --preset "$preset" -j "$jobs" --no-tests=error
done
echo "all tests passed"
