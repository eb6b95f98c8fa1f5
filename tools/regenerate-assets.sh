#!/usr/bin/env bash
# Rebuilds the generated assets in Data/ from the generators in tools/generators/:
# the pictures (with their previews), the installed intro's menu icon, the
# cube mesh, the scroll text, the music, the effect files translated for the
# Linux stand-in and the scroller's glyph meshes baked for the builds without
# fonts. The generators are deterministic, so an unchanged tree rebuilds every
# file byte for byte.
#   tools/regenerate-assets.sh [output folder]   (default: Data/)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$root/Data}"
build="$root/build/linux"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target gen_images gen_mesh gen_music gen_scrolltext gen_effects gen_textmeshes

mkdir -p "$out/preview"
"$build/tools/bin/gen_images" "$out"
"$build/tools/bin/gen_mesh" "$out/cube.x"
"$build/tools/bin/gen_scrolltext" "$out/ScrollText.inc"
"$build/tools/bin/gen_music" "$out/music.xm"
"$build/tools/bin/gen_effects" "$out/effects.store" "$root"/Data/*.fx
"$build/tools/bin/gen_textmeshes" "$out/TextMeshes.bin"
echo "assets written to $out"
