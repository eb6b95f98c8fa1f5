#!/usr/bin/env bash
# Renders demo times of the browser intro in headless Chromium on a fixed frame time, as
# skelvane-capture does natively, from the web flavour's site (built first when missing):
#   tools/web/capture-web.sh --at T1,T2,... --out DIR [--frame-ms MS]
#                            [--audio FILE.wav --audio-seconds S]
# writes DIR/frame-T.png and the music as a WAV file.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
site="$root/build/web/site"
export NODE_PATH=/usr/share/nodejs
if [ ! -f "$site/skelvane.wasm" ]; then
  cmake --preset web -S "$root" >/dev/null
  cmake --build "$root/build/web" -j "$(nproc 2>/dev/null || echo 2)" --target Skelvane
fi
exec node "$root/tools/web/capture/CaptureWeb.js" "$site" "$@"
