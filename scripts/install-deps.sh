#!/usr/bin/env bash
# Installs the Debian packages the build needs and that are missing. Safe to run repeatedly.
set -euo pipefail

packages=(cmake ninja-build g++ clang clang-format libgtest-dev libgmock-dev libbenchmark-dev
          libgl-dev "$@")
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
