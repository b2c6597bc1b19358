#!/usr/bin/env bash
# The README's run command on a finished build: its summary names the sample's groups, the scene
# it dumps is the one a single minihost invocation makes of the same import, the commands it
# prints run as printed whatever the take's name, --help runs nothing, host/README.md's
# example runs after it, counts are singular where they are one, and a bad take fails with the import's error.
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

odd="$work/it's \"odd\" \$HOME\\.K"
cp "$work/sample.K" "$odd"
printed="$("$root/scripts/run.sh" "$odd" | tail -3)"
run_printed() {
    bash -c "$1" >"$work/out" 2>&1 || fail "the printed command failed: $1: $(cat "$work/out")"
}
run_printed "$(sed -n 1p <<<"$printed")"
if [ -e "$build/python/kfile/__init__.py" ] && [ -z "${KFR_RUN_SKIP_PYTHON:-}" ]; then
    run_printed "$(sed -n 3p <<<"$printed")"
    grep -q "^<Take version 1, datagroups 0 Markers" "$work/out" ||
        fail "no take in: $(cat "$work/out")"
fi

rm "$work/sample.K"
"$root/scripts/run.sh" --help >"$work/out" || fail "--help failed"
grep -q "^usage: scripts/run.sh \[TAKE\]" "$work/out" || fail "no usage in: $(cat "$work/out")"
[ ! -e "$work/sample.K" ] || fail "--help made the sample"

"$root/scripts/run.sh" >/dev/null
example="$(grep '^build/release/host/minihost' "$root/host/README.md")"
example="${example//build\/release\/sample.K/$work/sample.K}"
(cd "$root" && bash -c "${example//build\/release\//$build/}") >"$work/out" 2>&1 ||
    fail "host/README.md's example failed: $(cat "$work/out")"

if "$root/scripts/run.sh" "$work/sample.K" --dump-to /dev/full >/dev/null 2>"$work/err"; then
    fail "a dump onto a full disk succeeded"
fi
grep -q "cannot write '/dev/full': No space left on device" "$work/err" ||
    fail "no reason in: $(cat "$work/err")"

"$build/tools/kfile/kfile" generate "$work/one.K" --subjects 1 --markers 1 --segments 1 \
    --frames 1 >/dev/null
one="$("$root/scripts/run.sh" "$work/one.K")"
grep -q "^Bob: 2 DOF locators, 1 marker locator, 12 keys$" <<<"$one" || fail "no counts in: $one"
grep -q "marker LFHD_marker  *tx ty tz  *1 key, at 0.2 to 0.2$" <<<"$one" || fail "no key in: $one"

printf 'K#\1\0' >"$work/bad.K"
if "$root/scripts/run.sh" "$work/bad.K" >"$work/out" 2>"$work/err"; then
    fail "a bad take imported"
fi
grep -q "Cannot import \"$work/bad.K\": the section list ends" "$work/err" ||
    fail "no import error in: $(cat "$work/err")"
echo "run command: summary, scene and failure as expected"
