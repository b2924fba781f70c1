#!/usr/bin/env bash
# Installs the dependencies, builds everything and starts the program.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/install-deps.sh"
bash "$top/scripts/build.sh" "$top/build"
if [ -x "$top/build/bin/trelvin" ]; then
    cd "$top/build/bin" && exec ./trelvin
fi
echo "run: the libraries are built in build/bin; the program itself is not part of this build yet."
