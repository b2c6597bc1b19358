#!/usr/bin/env bash
# The project's main job: imports a take into the stand-in host with the module loaded and shows
# what the import made. Without a take it imports a generated sample.
#
#   scripts/run.sh [TAKE] [--dump-to FILE]
#
# Builds what it needs in build/release first (KFR_RUN_BUILD=<build folder> uses a finished
# build instead, and KFR_RUN_SAMPLE=<file> puts the sample elsewhere, as the tests do). Exit
# status 1 when the import fails.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

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

build="${KFR_RUN_BUILD:-}"
if [ -z "$build" ]; then
    build="$root/build/release"
    "$root/scripts/install-deps.sh" >&2
    cd "$root"
    quietly cmake --preset release
    quietly cmake --build --preset release -j "$(nproc 2>/dev/null || echo 2)" \
        --target kfile_tool import_summary minihost MayaKFileReader kfile_python
    cd - >/dev/null
fi

if [ $# -eq 0 ] || [[ "$1" == -* ]]; then
    take="${KFR_RUN_SAMPLE:-$build/sample.K}"
    "$build/tools/kfile/kfile" generate "$take" --subjects 2 --markers 12 --segments 5 \
        --frames 240
    echo
else
    take="$1"
    shift
fi

"$build/tools/importsummary/import_summary" "$take" "$@"
echo
echo "The same import in the stand-in host, with the whole scene printed:"
echo "  $build/host/minihost -c 'loadPlugin MayaKFileReader; file -import \"$take\"' --dump"
echo "The take in Python (Debian's interpreter, which has NumPy):"
echo "  PYTHONPATH=$build/python /usr/bin/python3 -c 'import kfile; print(kfile.read(\"$take\"))'"
