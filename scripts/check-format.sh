#!/usr/bin/env bash
# Fails when a tracked C++ source is not formatted with the repository's .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
# The version scripts/install-deps.sh installs.
git ls-files -z -- '*.cpp' '*.h' | xargs -0 -r clang-format-14 --dry-run --Werror
echo "format: ok"
