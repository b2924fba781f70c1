#!/usr/bin/env bash
# Configures and builds with Ninja.
#   scripts/build.sh [build-dir] [--target NAME]... [extra cmake arguments...]
# Without --target everything is built. CMAKE_BUILD_PARALLEL_LEVEL sets the number of jobs (default:
# the number of cores).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$top/build}
shift || true
targets=()
cmake_args=()
while [ $# -gt 0 ]; do
    case "$1" in
        --target) targets+=("${2:?--target needs a name}"); shift 2 ;;
        *) cmake_args+=("$1"); shift ;;
    esac
done
cmake -S "$top" -B "$dir" -G Ninja ${cmake_args[@]+"${cmake_args[@]}"}
jobs=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}
if [ ${#targets[@]} -eq 0 ]; then
    cmake --build "$dir" -j "$jobs"
else
    cmake --build "$dir" -j "$jobs" --target "${targets[@]}"
fi
