#!/usr/bin/env bash
# The README's run command on a finished build: its summary names the sample's groups, the scene
# it dumps is the one a single minihost invocation makes of the same import, and a bad take
# fails with the import's error.
#   run_command_test.sh BUILD_FOLDER SOURCE_FOLDER
set -euo pipefail
build="$1"
root="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export KFR_RUN_BUILD="$build" KFR_RUN_SAMPLE="$work/sample.K"

fail() {
    echo "run_command_test: $*" >&2
    exit 1
}

summary="$("$root/scripts/run.sh" --dump-to "$work/run.dump")" || fail "the sample did not import"
for group in Bob Ann UnnamedCharacter Plate; do
    grep -q "^$group: " <<<"$summary" || fail "no group $group in: $summary"
done
grep -q "^Playback range: 1 to 24 before the import, 0 to 48 after" <<<"$summary" ||
    fail "no playback range in: $summary"
grep -q "marker LFHD_marker  *tx ty tz  *[0-9]* keys, at 0.2 to 48" <<<"$summary" ||
    fail "no keyed marker in: $summary"

"$build/host/minihost" -c "loadPlugin MayaKFileReader; file -import \"$work/sample.K\"" \
    --dump-to "$work/minihost.dump" >/dev/null
cmp -s "$work/run.dump" "$work/minihost.dump" || fail "the scene differs from minihost's"

printf 'K#\1\0' >"$work/bad.K"
if "$root/scripts/run.sh" "$work/bad.K" >"$work/out" 2>"$work/err"; then
    fail "a bad take imported"
fi
grep -q "Cannot import \"$work/bad.K\": the section list ends" "$work/err" ||
    fail "no import error in: $(cat "$work/err")"
echo "run command: summary, scene and failure as expected"
