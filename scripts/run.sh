#!/usr/bin/env bash
# Installs what is missing, builds the converter and opens its window.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh run
echo "run: building into build/"
cmake -S . -B build -G Ninja -DFEUCHTE_WINDOW=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build build --target feuchte-abs-rel
echo "run: opening the window"
exec build/window/qt/feuchte-abs-rel "$@"
