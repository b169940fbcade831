#!/bin/sh
# Runs the browser tests of the static folder (make static) served by a plain
# file server, with no varnolith program behind it. The first argument, or
# VARNOLITH_STATIC, is the folder (default build/static); the command whose
# figures the page must give is VARNOLITH_COMMAND (default build/release/varnolith).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
web="$root/tests/web"
if [ ! -d "$web/node_modules/playwright-core" ]; then
  PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --prefix "$web" --no-audit --no-fund
fi
cd "$root"
VARNOLITH_STATIC=${1:-${VARNOLITH_STATIC:-build/static}} NODE_PATH="$web/node_modules" exec node --test tests/static/
