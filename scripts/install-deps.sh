#!/usr/bin/env bash
# Installs the Debian packages the build needs and that are missing. Safe to run repeatedly.
#   --win32   also the 32-bit Windows cross compiler and Wine (32-bit), for the win32 preset
# Further arguments name extra packages.
set -euo pipefail

# The format check needs git (it lists the tracked sources) and one clang-format version: each
# version formats some constructs differently, so the check pins the one it was written with.
packages=(cmake ninja-build g++ clang git clang-format-14 libgtest-dev libgmock-dev
          libbenchmark-dev libgl-dev
          # scripts/memcheck.sh and scripts/coverage.sh
          valgrind gcovr
          # the kfile command
          libcli11-dev nlohmann-json3-dev
          # the Python module, its plots and its tests, for Debian's own python3
          python3-dev python3-numpy pybind11-dev python3-pybind11 python3-matplotlib python3-pytest
          # DataFrames, animated pictures, and building and installing the module as a package
          python3-pandas python3-pil python3-setuptools python3-wheel python3-build python3-venv
          python3-pip)
# Installed without their recommendations, which for Wine are a desktop's worth.
bare_packages=()
if [ "${1:-}" = "--win32" ]; then
    shift
    bare_packages+=(g++-mingw-w64-i686-posix wine wine32:i386)
fi
packages+=("$@")

is_missing() {
    ! dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}
missing=()
for package in "${packages[@]}"; do
    is_missing "$package" && missing+=("$package")
done
missing_bare=()
for package in "${bare_packages[@]}"; do
    is_missing "$package" && missing_bare+=("$package")
done
[ ${#missing[@]} -eq 0 ] && [ ${#missing_bare[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]} ${missing_bare[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if [ ${#missing_bare[@]} -gt 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386  # Wine runs 32-bit programs with its i386 half
fi
$sudo apt-get update -qq
install=($sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq)
[ ${#missing[@]} -eq 0 ] || "${install[@]}" "${missing[@]}"
[ ${#missing_bare[@]} -eq 0 ] || "${install[@]}" --no-install-recommends "${missing_bare[@]}"
