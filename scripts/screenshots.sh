#!/usr/bin/env bash
# Writes PNGs of the program with the example road open into OUTDIR: the main window on each side tab
# (tab-<n>-<title>.png) and the dialog of each Tools menu entry, plug-ins included when they are built
# (dialog-<entry>.png); then of the slope page of a copy of the road with a segment selected and after
# its Delete (slope-page-*.png), of a new road typed as PIs (new-road-*.png) and of a short road of
# elements with 1 m shoulders at -4 %: its plan in the maximised window and its section in check by
# station (short-road-*.png). Builds what it needs first.
#   scripts/screenshots.sh OUTDIR [BUILD_DIR] [ROAD]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${1:?usage: scripts/screenshots.sh OUTDIR [BUILD_DIR] [ROAD]}
dir=${2:-$top/build}
road=${3:-$top/examples/ridge-road.rod}
width=1280
height=800

if [ ! -f "$dir/build.ninja" ] && [ ! -f "$dir/Makefile" ]; then
    cmake -S "$top" -B "$dir" -G Ninja
fi
targets=(trelvin_screenshots)
for plugin in vesker tolvin; do
    if cmake --build "$dir" --target help 2>/dev/null | grep -q "^$plugin:"; then
        targets+=("$plugin")
    fi
done
cmake --build "$dir" -j "$(nproc)" --target "${targets[@]}"

mkdir -p "$out"
out=$(cd "$out" && pwd)
dir=$(cd "$dir" && pwd)
road=$(cd "$(dirname "$road")" && pwd)/$(basename "$road")
program=("$dir/bin/trelvin_screenshots" "$out" "$road" "$width" "$height")
# The plug-ins are found in bin/plugins beside the program.
cd "$dir/bin"
if command -v xvfb-run >/dev/null 2>&1; then
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 ${width}x${height}x24" "${program[@]}"
else
    echo "screenshots: xvfb-run not found, drawing offscreen"
    QT_QPA_PLATFORM=offscreen "${program[@]}"
fi
