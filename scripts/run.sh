#!/usr/bin/env bash
# Installs what is missing, builds the converter and opens its window.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh run
echo "run: building into build-program/"
cmake --preset release >/dev/null
cmake --build --preset release --target feuchte-abs-rel
echo "run: opening the window"
exec build-program/window/qt/feuchte-abs-rel "$@"
