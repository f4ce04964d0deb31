#!/usr/bin/env bash
# Installs what is missing, builds the page and serves it on http://127.0.0.1:8080/.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh web
echo "run-web: building the page into build-web/window/web/page/"
cmake --preset web >/dev/null
cmake --build --preset web
echo "run-web: serving the page on http://127.0.0.1:8080/ (Ctrl+C ends)"
exec /usr/bin/python3 -m http.server --bind 127.0.0.1 8080 --directory build-web/window/web/page
