#!/usr/bin/env bash
# The browser intro beside the native one, in figures:
#   tools/web/bench-web.sh [--frame-ms MS]
# - the frames at the preview's twelve demo times (./run's), captured in headless Chromium
#   and natively, and how far each pair is apart (mean and largest, levels of 255);
# - the site's size, raw and gzip-compressed, as a web server would send it;
# - the time from the start (the click) to the first frame and the median time from one
#   frame to the next, in headless Chromium (SwiftShader) and natively (llvmpipe).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
frame_ms=16
[ "${1:-}" = "--frame-ms" ] && frame_ms=$2
times=$(sed -n 's/^PREVIEW_TIMES=//p' "$root/run")
export NODE_PATH=/usr/share/nodejs
cmake --preset linux -S "$root" >/dev/null
cmake --build "$root/build/linux" -j2 --target skelvane-capture >/dev/null
cmake --preset web -S "$root" >/dev/null
cmake --build "$root/build/web" -j2 --target Skelvane >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
site="$root/build/web/site"

echo "== site: $site"
raw=0
packed=0
for f in "$site"/*; do
  size=$(stat -c %s "$f")
  gz=$(gzip -9 -c "$f" | wc -c)
  printf '  %-16s %9d bytes, %9d gzip\n' "$(basename "$f")" "$size" "$gz"
  raw=$((raw + size))
  packed=$((packed + gz))
done
printf '  %-16s %9d bytes, %9d gzip (%.2f MB)\n' total "$raw" "$packed" "$(echo "$packed / 1000000" | bc -l)"

echo "== frames at $times s on a $frame_ms ms frame time"
capture=(xvfb-run -a -s "-screen 0 1024x768x24" "$root/build/linux/tools/bin/skelvane-capture")
"${capture[@]}" --at "$times" --out "$work/native" --frame-ms "$frame_ms"
node "$root/tools/web/capture/CaptureWeb.js" "$site" --at "$times" --out "$work/web" --frame-ms "$frame_ms"
names=()
for t in ${times//,/ }; do names+=("frame-$t.png"); done
node "$root/tools/web/capture/FrameDifference.js" "$work/web" "$work/native" "${names[@]}"

echo "== native, skelvane-capture --bench 15"
"${capture[@]}" --bench 15
