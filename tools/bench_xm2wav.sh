#!/usr/bin/env bash
# Whole-process cost of xm2wav, an earlier commit's build against this tree's:
# 30-second renders (by default) of the bench module and of the intro's music,
# each build's median processor time and peak memory side by side.
#   tools/bench_xm2wav.sh OLD_COMMIT [--runs N] [--seconds S]
# The old build is made from `git archive OLD_COMMIT` in a scratch folder
# outside the tree and removed afterwards.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/linux"
if [ $# -lt 1 ]; then
  echo "usage: tools/bench_xm2wav.sh OLD_COMMIT [--runs N] [--seconds S]" >&2
  exit 1
fi
old_commit="$1"
shift

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target xm2wav bench_xm2wav make_bench_module >/dev/null

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
git -C "$root" archive "$old_commit" | tar -x -C "$scratch"
cmake -S "$scratch" -B "$scratch/build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$scratch/build" -j2 --target xm2wav >/dev/null
old="$(find "$scratch/build/tools" -name xm2wav -type f -perm -u+x | head -n 1)"

"$build/tools/make_bench_module" "$scratch/bench.xm"
echo "old: $old_commit; new: this tree"
"$build/tools/bench_xm2wav" "$@" "$old" "$build/tools/xm2wav" "$scratch/bench.xm" "$root/Data/music.xm"
