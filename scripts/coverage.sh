#!/usr/bin/env bash
# Line coverage of the test suite: builds the coverage preset (gcc --coverage, unoptimised, no
# Python module), runs its tests (the fuzz corpora and kept regressions are replayed by ordinary
# tests among them), then prints with gcovr the line coverage of the K-file library and of each
# of the module's folders, file by file with the lines no test reached, and a total per folder.
#
#   scripts/coverage.sh [CTEST ARGUMENTS...]
#
# Left out of the run: devkit_forms.* and host_layers, which only compile sources, and
# kfile_install_consumer, whose program is built without coverage and so cannot link the
# instrumented library.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
jobs=$(nproc 2>/dev/null || echo 2)
build=build/coverage
cmake --preset coverage
cmake --build --preset coverage -j "$jobs"
find "$build" -name '*.gcda' -delete  # counts from earlier runs
ctest --test-dir "$build" -j "$jobs" --output-on-failure --no-tests=error \
    -E '^(devkit_forms|host_layers$|kfile_install_consumer$)' "$@"

# gcov reads the counts once; each folder's report is then a filter over that trace.
trace="$build/coverage.json"
gcovr --root . --object-directory "$build" --json "$trace"
for folder in kfile import plugin nodes commands; do
    echo
    echo "=== $folder/ ==="
    gcovr --add-tracefile "$trace" --root . --filter "$folder/" --txt --print-summary
done
