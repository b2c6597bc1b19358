#!/usr/bin/env bash
# Long fuzzing runs: builds the fuzz preset, fuzzes one target for SECONDS with its dictionary,
# starting from its seeds and the committed corpus and regressions, and keeps what it finds in a working
# corpus that later runs continue from. At the end the working corpus is merged down to the
# inputs that add coverage.
#
#   scripts/fuzz.sh TARGET SECONDS [--update-corpus]
#
# TARGET is read (the K-file reader), import (a take imported by the module, then the
# commands) or mel (the stand-in host's MEL reader and interpreter). --update-corpus replaces
# the committed corpus of the target (tests/fuzz/corpus/TARGET) by the merged one. The working
# folder is build/fuzz-work/TARGET (KFR_FUZZ_WORK=<folder> puts it elsewhere); a crash, leak or
# hang leaves its input in its artifacts folder and ends the script with the fuzzer's status.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

usage() {
    echo "usage: scripts/fuzz.sh read|import|mel SECONDS [--update-corpus]" >&2
    exit 2
}
[ $# -ge 2 ] || usage
target=$1
seconds=$2
update=${3:-}
[[ "$seconds" =~ ^[0-9]+$ ]] || usage
[ -z "$update" ] || [ "$update" = --update-corpus ] || usage

# Per target: the program, its seeds, its dictionary, the length its committed inputs are cut
# to (which keeps the committed corpus small) and the options it runs with. The host prints an
# error line for every refused input, so those targets run with the program's stderr closed
# (libFuzzer and the sanitizers still report on their own copy of it). An imported input costs
# more than its length: every locator it makes gets a cube, and each cube walks the scene; 1 KB
# takes already reach every branch of the import, at several times the speed of 4 KB ones.
case "$target" in
    read) program=kfile_read_fuzzer seeds=takes dict=kfile.dict committed_max=512
        options=(-max_len=4096 -malloc_limit_mb=256) ;;
    import) program=kfr_import_fuzzer seeds=takes dict=kfile.dict committed_max=512
        options=(-max_len=1024 -close_fd_mask=3) ;;
    mel) program=kfr_mel_fuzzer seeds=mel dict=mel.dict committed_max=160
        options=(-max_len=1024 -close_fd_mask=3) ;;
    *) usage ;;
esac

scripts/install-deps.sh >&2
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc 2>/dev/null || echo 2)"

fuzzer="build/fuzz/tests/fuzz/$program"
work="${KFR_FUZZ_WORK:-$root/build/fuzz-work}/$target"
committed="tests/fuzz/corpus/$target"
mkdir -p "$work/corpus" "$work/artifacts"
# The targets write each input to a scratch file: in memory that is several times faster.
if [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi
echo "fuzz.sh: working corpus $work/corpus, artifacts $work/artifacts"

"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -dict="tests/fuzz/dict/$dict" -artifact_prefix="$work/artifacts/" "${options[@]}" \
    "$work/corpus" "$committed" "tests/fuzz/seeds/$seeds" "tests/fuzz/regressions/$target"

# Down to the inputs that add coverage, the committed ones included.
rm -rf "$work/merged"
mkdir "$work/merged"
"$fuzzer" -merge=1 "${options[@]}" "$work/merged" "$committed" "$work/corpus" 2>"$work/merge.log"
rm -rf "$work/corpus"
mv "$work/merged" "$work/corpus"
echo "fuzz.sh: corpus of $target: $(find "$work/corpus" -type f | wc -l) files," \
    "$(du -sb "$work/corpus" | cut -f1) bytes in $work/corpus"
if [ "$update" = --update-corpus ]; then
    rm -rf "$committed"
    mkdir "$committed"
    "$fuzzer" -merge=1 "${options[@]}" -max_len="$committed_max" "$committed" "$work/corpus" \
        2>>"$work/merge.log"
    echo "fuzz.sh: $committed replaced: $(find "$committed" -type f | wc -l) files," \
        "$(du -sb "$committed" | cut -f1) bytes"
fi
