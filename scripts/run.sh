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

for argument in "$@"; do
    if [ "$argument" = "-h" ] || [ "$argument" = "--help" ]; then
        cat <<'USAGE'
usage: scripts/run.sh [TAKE] [--dump-to FILE]
Imports TAKE (without one, a generated sample: 2 subjects of 12 markers and 5 segments, 240
frames) into the stand-in host with the MayaKFileReader module loaded, and shows what the
import made: per character group its locators, keyed attributes, keys and gaps, and the
playback range before and after.
  --dump-to FILE   write the whole scene dump to FILE
  -h, --help       show this text
Builds build/release first; KFR_RUN_BUILD=FOLDER uses a finished build instead, and
KFR_RUN_SAMPLE=FILE writes the sample there. Exit status 1 when the import fails.
USAGE
        exit 0
    fi
done

# The text as one word for the shell: in single quotes, each ' written as '\''.
shell_word() {
    local quote="'"
    printf "'%s'" "${1//$quote/$quote\\$quote$quote}"
}

# The text as a MEL string literal: in double quotes, with " and \ escaped.
mel_string() {
    local text="${1//\\/\\\\}"
    printf '"%s"' "${text//\"/\\\"}"
}

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
echo "  $(shell_word "$build/host/minihost") -c" \
    "$(shell_word "loadPlugin MayaKFileReader; file -import $(mel_string "$take")") --dump"
echo "The take in Python (Debian's interpreter, which has NumPy):"
echo "  PYTHONPATH=$(shell_word "$build/python") /usr/bin/python3 -c" \
    "'import sys, kfile; print(kfile.read(sys.argv[1]))' $(shell_word "$take")"
