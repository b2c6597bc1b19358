#!/usr/bin/env bash
# Checks the module's sources against the host's own devkit headers, which stay outside the
# repository: every module unit compiled with g++ and clang++ (-Wall -Wextra, the devkit's
# Linux definitions), then a Linux module linked from them against the headers alone (host
# symbols left undefined, as a shared library may) whose dynamic exports must be exactly the
# entry points as the devkit declares them, MApiVersion and, where the devkit defines it,
# ADSK_PLUGIN_SIGNATURE, and which has the Viewport 2.0 draw overrides exactly where the devkit
# has Viewport 2.0. One line per devkit and unit; exit status 1 on any error or warning.
#
#   scripts/devkit-check.sh DEVKIT...
# DEVKIT: a devkit's include folder (holding maya/MFnPlugin.h) or the folder above it.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -eq 0 ] || [ "$1" = "-h" ] || [ "$1" = "--help" ]; then
    sed -n '2,11s/^# \{0,1\}//p' "$0"
    [ $# -eq 0 ] && exit 2 || exit 0
fi

units=(plugin/Plugin.cpp import/*.cpp commands/*.cpp nodes/*.cpp)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Headers older than 2016 use these two classes before any header declares them.
printf 'class MArrayDataHandle;\nclass MArrayDataBuilder;\n' >"$work/old-devkit-shim.h"
flags=(-std=c++17 -Wall -Wextra -DLINUX -Dlinux -D_BOOL -DREQUIRE_IOSTREAM -I. -Ikfile/include)
failed=0

report() {  # devkit, what, outcome, output
    printf '%-10s %-36s %s\n' "$1" "$2" "$3"
    [ -z "$4" ] || printf '%s\n' "$4" | sed 's/^/    /'
}

# Compiles with the flags given; prints ok, warnings or errors, and the compiler's words.
compile() {  # devkit-name, label, compiler args...
    local name=$1 label=$2 output outcome=ok
    shift 2
    if ! output=$("$@" 2>&1); then
        outcome=errors
    elif [ -n "$output" ]; then
        outcome=warnings
    fi
    [ "$outcome" = ok ] || failed=1
    report "$name" "$label" "$outcome" "$output"
    [ "$outcome" != errors ]
}

# The kfile library does not see the host: compiled once for every devkit's link.
for source in kfile/src/*.cpp; do
    g++ "${flags[@]}" -fPIC -O0 -c "$source" -o "$work/kfile-$(basename "$source" .cpp).o"
done

for devkit in "$@"; do
    include=$devkit
    [ -f "$include/maya/MFnPlugin.h" ] || include=$devkit/include
    if [ ! -f "$include/maya/MFnPlugin.h" ]; then
        echo "$devkit: no maya/MFnPlugin.h in it or in its include folder" >&2
        failed=1
        continue
    fi
    version=$(sed -n 's/^#define[[:space:]]*MAYA_API_VERSION[[:space:]]*\([0-9]*\).*/\1/p' \
        "$include/maya/MTypes.h")
    name=${version:-unknown}
    devkit_flags=("${flags[@]}" -isystem "$include")
    [ "${version:-0}" -lt 201600 ] && devkit_flags+=(-include "$work/old-devkit-shim.h")

    objects=()
    for unit in "${units[@]}"; do
        for compiler in g++ clang++; do
            compile "$name" "$unit ($compiler)" "$compiler" "${devkit_flags[@]}" -fsyntax-only \
                "$unit" || true
        done
        object="$work/$name-$(echo "$unit" | tr / -).o"
        g++ "${devkit_flags[@]}" -w -fPIC -c "$unit" -o "$object" 2>/dev/null && objects+=("$object")
    done
    [ ${#objects[@]} -eq ${#units[@]} ] || continue

    # The exports the devkit asks for: the entry points with C++ names where its MFnPlugin.h
    # declares them, with C names where it leaves them to the module.
    if grep -q '^[^/]*PLUGIN_EXPORT MStatus initializePlugin' "$include/maya/MFnPlugin.h"; then
        expected="MApiVersion initializePlugin(*MObject) uninitializePlugin(*MObject)"
    else
        expected="MApiVersion initializePlugin uninitializePlugin"
    fi
    grep -qs ADSK_PLUGIN_SIGNATURE "$include/maya/MApiVersion.h" &&
        expected="ADSK_PLUGIN_SIGNATURE $expected"
    module="$work/$name-MayaKFileReader.so"
    if ! output=$(g++ -shared -o "$module" "${objects[@]}" "$work"/kfile-*.o \
        -Wl,--version-script=plugin/exports.map 2>&1); then
        failed=1
        report "$name" "link" errors "$output"
        continue
    fi
    # The draw overrides are in the module exactly where the devkit has Viewport 2.0.
    has_vp2=no
    [[ $(nm -u -C "$module") == *MDrawRegistry::registerDrawOverrideCreator* ]] && has_vp2=yes
    wants_vp2=no
    [ -f "$include/maya/MPxDrawOverride.h" ] && wants_vp2=yes
    if [ "$has_vp2" = "$wants_vp2" ]; then
        report "$name" "viewport 2.0 draw overrides: $has_vp2" ok ""
    else
        failed=1
        report "$name" "viewport 2.0 draw overrides: $has_vp2" "wrong: the devkit has it: $wants_vp2" ""
    fi
    exported=$(nm -D --defined-only -C "$module" | cut -d' ' -f3- | LC_ALL=C sort | tr '\n' ' ')
    exported=${exported% }
    # Namespaces of the parameters are the devkit's: compare the names with them left out.
    shown=$(echo "$exported" | sed 's/([^)]*MObject)/(*MObject)/g')
    if [ "$shown" = "$expected" ]; then
        report "$name" "exports" ok "    $exported"
    else
        failed=1
        report "$name" "exports" "wrong: [$exported], expected [$expected]" ""
    fi
done
exit $failed
