#!/usr/bin/env bash
# Captures the frames the README shows (the title card, the cubes tumbling
# over the backdrop, the arched scroller in full swing) at half size.
#   tools/readme-frames.sh        writes docs/frame-*.png
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/linux"
times=(5 20 30)

command -v pamscale >/dev/null || apt-get install -y -qq netpbm >/dev/null
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target skelvane-capture
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
xvfb-run -a -s "-screen 0 1024x768x24" "$build/tools/bin/skelvane-capture" \
  --at "$(IFS=,; echo "${times[*]}")" --out "$work"
mkdir -p "$root/docs"
for t in "${times[@]}"; do
  pngtopnm "$work/frame-$t.png" | pamscale -xsize 512 -ysize 384 -filter sinc | pnmtopng -compression 9 \
    >"$root/docs/frame-$t.png"
done
echo "frames written to $root/docs"
