#!/usr/bin/env bash
# The kfile program where only a process shows it: output to a full device, a file size limit
# and a termination while writing, and JSON of 8-bit names read by Python.
#   program_failures_test.sh KFILE
set -uo pipefail
kfile="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() {
    echo "program_failures_test: $*" >&2
    exit 1
}

"$kfile" generate take.K --frames 30 >/dev/null || fail "generate failed"

# Output that cannot be written is an error of every command.
for command in "info take.K" "info take.K --json" "labels take.K" "validate take.K" \
    "export take.K" "generate other.K --frames 3" "--help"; do
    # shellcheck disable=SC2086
    "$kfile" $command >/dev/full 2>err
    status=$?
    [ "$status" -eq 1 ] || fail "'$command > /dev/full' exits $status"
    grep -q "cannot write the output" err || fail "'$command > /dev/full' says: $(cat err)"
done

# A write that fails or is ended leaves the old file and no temporary file.
echo old >old.K
echo old >old.csv
(ulimit -f 20 && "$kfile" generate old.K --frames 2000) 2>err
grep -q "'old.K': cannot write: File too large" err || fail "size limit: $(cat err)"
(ulimit -f 20 && "$kfile" export take.K --out old.csv) 2>err
grep -q "'old.csv': cannot write: File too large" err || fail "size limit: $(cat err)"
"$kfile" generate old.K --frames 5000000 >/dev/null &
writer=$!
sleep 0.5
kill -TERM "$writer"
wait "$writer"
[ $? -eq 143 ] || fail "generate was not ended by SIGTERM"
[ "$(cat old.K)" = old ] && [ "$(cat old.csv)" = old ] || fail "an old file changed"
[ -z "$(find . -name '*.tmp')" ] || fail "temporary files left: $(ls -a)"

# 8-bit names come out as UTF-8 that Python's json reads.
python3 - <<'PY' || fail "cannot make the take with 8-bit names"
data = open("take.K", "rb").read()
open("zoe.K", "wb").write(data.replace(b"Ann:", b"Zo\xe9:"))
PY
for command in info labels validate; do
    "$kfile" "$command" zoe.K --json >out.json
    python3 -c 'import json, sys; text = open("out.json", encoding="utf-8").read()
sys.exit(json.loads(text) is None or ("Zo\u00e9" not in text and sys.argv[1] != "validate"))' \
        "$command" || fail "$command --json is not JSON with Zoé: $(head -c 300 out.json)"
done
"$kfile" info missing.K --json >out.json
python3 -c 'import json; assert json.load(open("out.json"))["error"]["path"] == "missing.K"' ||
    fail "the error of info --json is not JSON"
# Many takes: a progress line on a terminal (a pseudo-terminal made by script), none in a pipe.
batch="export take.K zoe.K --format c3d --out-dir batch"
if command -v script >/dev/null; then
    # shellcheck disable=SC2086
    script -qec "'$kfile' $batch" /dev/null >tty.txt || fail "$batch on a terminal failed"
    grep -q "exporting 1 of 2 takes" tty.txt || fail "no progress on a terminal: $(cat tty.txt)"
fi
# shellcheck disable=SC2086
"$kfile" $batch 2>pipe.txt | cat || fail "$batch in a pipe failed"
! grep -q exporting pipe.txt || fail "progress in a pipe: $(cat pipe.txt)"
[ -s batch/take.c3d ] && [ -s batch/zoe.c3d ] || fail "the batch wrote: $(ls batch)"
"$kfile" export take.K --format c3d --out /dev/full/x.c3d 2>err && fail "export to /dev/full/x"
grep -q "'/dev/full/x.c3d': cannot write" err || fail "export to /dev/full/x says: $(cat err)"

echo "kfile program: full output, failed and ended writes, 8-bit names and progress as expected"
