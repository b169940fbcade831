#!/bin/sh
# Runs the browser tests of varnolith_web's page. The first argument, or
# VARNOLITH_WEB, is the server program (default build/release/varnolith_web);
# Chromium is Debian's, or CHROMIUM's.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
server=${1:-${VARNOLITH_WEB:-build/release/varnolith_web}}
case $server in /*) ;; *) server=$root/$server ;; esac
if [ ! -d "$here/node_modules/playwright-core" ]; then
  PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --prefix "$here" --no-audit --no-fund
fi
cd "$root"
VARNOLITH_WEB=$server exec node --test tests/web/
