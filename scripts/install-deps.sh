#!/usr/bin/env bash
# Installs the Debian 12 packages the project builds, tests and runs with. Safe to run again:
# when everything is present it changes nothing.
set -euo pipefail

packages=(cmake ninja-build g++ clang qtbase5-dev qttools5-dev qttools5-dev-tools libqwt-qt5-dev
          libtinyxml2-dev libpolyclipping-dev libcgal-dev libdxflib-dev libsqlite3-dev libgtest-dev
          libgmock-dev libbenchmark-dev xvfb
          libqt5svg5-dev libqt5opengl5-dev)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: all packages present"
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "install-deps: installing ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
