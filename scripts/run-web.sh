#!/usr/bin/env bash
# Installs what is missing, builds the page and serves it on http://127.0.0.1:PORT/ (8080 unless
# given). usage: scripts/run-web.sh [PORT]
set -euo pipefail
cd "$(dirname "$0")/.."
port=${1:-8080}
[[ $port =~ ^[0-9]+$ ]] || { echo "usage: $0 [PORT]" >&2; exit 2; }

scripts/install-deps.sh web
echo "run-web: building the page into build-web/window/web/page/"
cmake --preset web >/dev/null
cmake --build --preset web
echo "run-web: serving the page on http://127.0.0.1:$port/ (Ctrl+C ends)"
exec /usr/bin/python3 -m http.server --bind 127.0.0.1 "$port" --directory build-web/window/web/page
