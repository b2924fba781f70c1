#!/usr/bin/env bash
# Configures and builds with Ninja.  Usage: scripts/build.sh [build-dir] [extra cmake arguments...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$top/build}
shift || true
cmake -S "$top" -B "$dir" -G Ninja "$@"
cmake --build "$dir" -j "$(nproc)"
