#!/usr/bin/env bash
# Installs the dependencies, builds the program and its two plug-ins (not the tests) and starts the
# program in the foreground. On the first start the example road is copied into a folder of the
# user's own (ROADS, default ~/trelvin-roads), so that edits never touch the repository's example;
# open that copy (File > Open, or Open Road on the first page).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/install-deps.sh"
bash "$top/scripts/build.sh" "$top/build" --target trelvin --target vesker --target tolvin

roads=${ROADS:-$HOME/trelvin-roads}
mkdir -p "$roads"
if [ ! -e "$roads/ridge-road.rod" ]; then
    cp "$top/examples/ridge-road.rod" "$roads/ridge-road.rod"
    echo "run: copied the example road to $roads/ridge-road.rod"
fi
echo "run: starting the program; open $roads/ridge-road.rod to begin"
# The plug-ins are found in bin/plugins beside the program.
cd "$top/build/bin" && exec ./trelvin
