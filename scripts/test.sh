#!/usr/bin/env bash
# The whole test suite: installs what is missing, checks formatting, then configures, builds
# and runs every test in the default build (gcc, warnings as errors), in the
# AddressSanitizer + UndefinedBehaviorSanitizer build, and in the 32-bit Windows build, whose
# tests run under Wine; runs the K-file library's tests under ThreadSanitizer; builds the
# optimised tools and benchmarks and runs a short benchmark pass; builds the fuzz targets and
# fuzzes each for half a minute. Runs the memcheck build's tests under Valgrind
# (scripts/memcheck.sh). With KFR_DEVKITS set, first checks the module against those devkits
# (scripts/devkit-check.sh).
#   --memcheck   only that: the test suite under Valgrind
set -euo pipefail
cd "$(dirname "$0")/.."
[ "${1:-}" = "--memcheck" ] && exec scripts/memcheck.sh

scripts/install-deps.sh --win32
scripts/check-format.sh
# The module against the host's own devkit headers, where the machine has them (folders
# separated by ':'; they are not part of the repository).
if [ -n "${KFR_DEVKITS:-}" ]; then
    echo "=== devkits ==="
    IFS=: read -r -a devkits <<<"$KFR_DEVKITS"
    scripts/devkit-check.sh "${devkits[@]}"
fi

jobs=$(nproc 2>/dev/null || echo 2)
for preset in ci asan win32 tsan; do
    echo "=== $preset ==="
    cmake --preset "$preset"
    cmake --build --preset "$preset" -j "$jobs"
    ctest --preset "$preset" -j "$jobs" --no-tests=error
done

echo "=== memcheck ==="
scripts/memcheck.sh

echo "=== release ==="
cmake --preset release
cmake --build --preset release -j "$jobs"
KFILE_BENCH_FRAMES=400 build/release/tests/bench/kfile_bench --benchmark_min_time=0.01
build/release/tests/bench/import_bench --frames=1000 --benchmark_min_time=0.01
build/release/tests/bench/info_bench --frames=400 --benchmark_min_time=0.01
build/release/tests/bench/summary_bench --frames=1000 --benchmark_min_time=0.01
/usr/bin/python3 python/bench/read_benchmark.py --frames 400 --repeat 3

echo "=== fuzz ==="
# Half a minute of each fuzz target, from the committed corpora, into a throw-away corpus.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for target in read import mel; do
    KFR_FUZZ_WORK="$scratch" scripts/fuzz.sh "$target" 30
done
echo "all tests passed"
