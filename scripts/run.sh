#!/usr/bin/env bash
# Installs the dependencies, builds everything and starts the program. Open the example road
# examples/ridge-road.rod first (File > Open, or Open Road on the first page).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/install-deps.sh"
bash "$top/scripts/build.sh" "$top/build"
echo "run: starting the program; open $top/examples/ridge-road.rod to begin"
# The plug-ins are found in bin/plugins beside the program.
cd "$top/build/bin" && exec ./trelvin
