#!/bin/bash
# Repaints the icons under app/resources/edit/ from drawicons.cpp.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
g++ -std=c++17 -O1 -fPIC "$here/drawicons.cpp" -o "$work/drawicons" $(pkg-config --cflags --libs Qt5Gui)
QT_QPA_PLATFORM=offscreen "$work/drawicons" "$here/../edit"
