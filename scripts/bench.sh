#!/usr/bin/env bash
# Builds the optimised benchmarks, generates the read benchmark's takes once with
# `kfile generate` into a temporary folder, runs the read and the import benchmarks and prints
# one table of their figures against their targets.
#
#   scripts/bench.sh [--frames N]    # N: frames of the longest read take (default 60000)
#
# KFR_BENCH_BUILD=<build folder> uses a finished release build instead of building one.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

frames=60000
if [ "${1:-}" = "--frames" ] && [ -n "${2:-}" ]; then
    frames="$2"
fi

build="${KFR_BENCH_BUILD:-}"
if [ -z "$build" ]; then
    build="$root/build/release"
    "$root/scripts/install-deps.sh" >&2
    (cd "$root" && cmake --preset release >/dev/null &&
        cmake --build --preset release -j "$(nproc 2>/dev/null || echo 2)" \
            --target kfile_tool kfile_bench import_bench >/dev/null)
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Two subjects of 50 markers and 13 segments: about 3.8 KB a frame, 227 MB at 60000 frames.
for n in $((frames / 4)) $((frames / 2)) "$frames"; do
    "$build/tools/kfile/kfile" generate "$work/take_$n.K" --subjects 2 --markers 50 \
        --segments 13 --frames "$n" >/dev/null
done

echo "reading..." >&2
"$build/tests/bench/kfile_bench" "$work"/take_*.K --benchmark_filter='RawRead|KFileRead' \
    --benchmark_min_time=5 --benchmark_format=json >"$work/read.json"
echo "importing..." >&2
"$build/tests/bench/import_bench" --benchmark_format=json >"$work/import.json"

python3 - "$work/read.json" "$work/import.json" <<'PY'
import json, sys

def runs(path):
    return [b for b in json.load(open(path))["benchmarks"] if b.get("run_type") == "iteration"]

rows = []
for b in runs(sys.argv[1]):
    if b["name"].startswith("KFileRead"):
        rows += [
            ("read throughput, MB/s", "%.0f" % (b["bytes_per_second"] / 1e6), ""),
            ("raw fread throughput, MB/s", "%.0f" % b["raw_MB_per_s"], ""),
            ("read / raw, wall clock", "%.2f" % b["read_vs_raw"], ">= 0.25"),
            ("read / raw, processor time", "%.2f" % b["read_vs_raw_cpu"], ">= 0.25"),
            ("peak heap of a read / file size", "%.2f" % b["peak_heap_vs_file"], "<= 1.25"),
        ]
for b in runs(sys.argv[2]):
    name = b["name"].split("/manual_time")[0]
    if "s_per_key" in b:
        rows.append(("import %s, s per key" % name, "%.3g" % b["s_per_key"], ""))
    if "vs_tenth_length" in b:
        rows.append(("import %s, time / tenth as long" % name, "%.2f" % b["vs_tenth_length"],
                     "<= 10.5"))
width = max(len(r[0]) for r in rows)
print("| %-*s | %8s | %-7s |" % (width, "figure", "value", "target"))
print("|%s|%s|%s|" % ("-" * (width + 2), "-" * 10, "-" * 9))
for figure, value, target in rows:
    print("| %-*s | %8s | %-7s |" % (width, figure, value, target))
PY
