#!/usr/bin/env bash
# Installs the dependencies, builds everything and runs the whole test suite.
#   scripts/test.sh              normal build in build/
#   scripts/test.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/install-deps.sh"

if [ "${1:-}" = "--sanitize" ]; then
    dir=$top/build-asan
    bash "$top/scripts/build.sh" "$dir" -DENABLE_SANITIZERS=ON -DCMAKE_BUILD_TYPE=Debug
    # Allocation stacks are unwound the fast way (frame pointers): the slow way made the suite ten times
    # slower and finds nothing more (set fast_unwind_on_malloc=0 for whole stacks in a report).
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    # Qt's offscreen platform plug-in keeps a few bytes until exit; nothing of ours is suppressed.
    export LSAN_OPTIONS=suppressions=$top/scripts/lsan.supp
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
else
    dir=$top/build
    bash "$top/scripts/build.sh" "$dir"
fi
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" -j "$(nproc)" --output-on-failure
