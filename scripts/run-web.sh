#!/usr/bin/env bash
# Installs what is missing, builds the page and serves it on http://127.0.0.1:PORT/.
# Usage: scripts/run-web.sh [PORT]   (8080 unless given)
set -euo pipefail
cd "$(dirname "$0")/.."
port=${1:-8080}

scripts/install-deps.sh web
echo "run-web: building the page into build-web/window/web/page/"
cmake --preset web >/dev/null
cmake --build --preset web
exec /usr/bin/python3 scripts/lib/web_server.py build-web/window/web/page "$port"
