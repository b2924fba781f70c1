#!/usr/bin/env bash
# Installs the dependencies and builds the libraries, the plug-ins and the libFuzzer targets with clang
# (the fuzzing build; CI builds it too, so the code stays clang's C++17 as well as GCC's).
#   scripts/build-fuzz.sh [build-dir] [extra cmake arguments...]    default build-dir: build-fuzz/
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/install-deps.sh"
dir=${1:-$top/build-fuzz}
shift || true
CC=clang CXX=clang++ bash "$top/scripts/build.sh" "$dir" -DENABLE_FUZZING=ON -DBUILD_TESTING=OFF "$@"
