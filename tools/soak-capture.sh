#!/usr/bin/env bash
# Runs the same capture of the intro again and again, each in a fresh Xvfb, and
# counts the runs that ended with a fault: a signal (a crash, an abort from the
# C library's heap checks) or a sanitizer's report. Runs whose frames differ from
# the first good run's are counted too: the capture is deterministic.
#
#   tools/soak-capture.sh [-n RUNS] [--build DIR] [--keep DIR] [-- CAPTURE OPTIONS...]
#
#   -n RUNS       how many runs (10)
#   --build DIR   the build folder whose skelvane-capture runs (build/linux); the
#                 address or thread flavour's build folder runs it under that sanitizer
#   --keep DIR    keeps each run's output and log in DIR/run-K (default: a temporary
#                 folder, removed at the end unless some run failed)
#   CAPTURE OPTIONS  replace the default capture, the first minute of the intro:
#                 --at 0,0.5,5,9.9,10,10.1,10.5,11,12,15,20,25,30,40,60
#
# Not part of ./test: a run of the first minute takes minutes. The last line reads
# "soak: R runs, F faults, D with other frames, X failed otherwise"; the exit status
# is 0 only when every run ended cleanly with the same frames.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
runs=10
build="$root/build/linux"
keep=""
capture=(--at 0,0.5,5,9.9,10,10.1,10.5,11,12,15,20,25,30,40,60)
while [ $# -gt 0 ]; do
  case "$1" in
    -n) runs="$2"; shift 2 ;;
    --build) build="$(cd "$2" && pwd)"; shift 2 ;;
    --keep) keep="$2"; shift 2 ;;
    --) shift; capture=("$@"); break ;;
    *) echo "soak-capture: unknown argument $1" >&2; exit 2 ;;
  esac
done
program="$build/tools/bin/skelvane-capture"
if [ ! -x "$program" ]; then
  echo "soak-capture: no $program (cmake --build $build --target skelvane-capture)" >&2
  exit 2
fi
if [ -z "$keep" ]; then
  keep="$(mktemp -d /tmp/skv_soak_XXXXXX)"
  temporary=1
else
  mkdir -p "$keep"
  temporary=0
fi
# Sanitizer builds stop at their first report (their suppressions are built in).
export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=0}"
export TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

faults=0 different=0 failed=0 reference=""
for ((k = 1; k <= runs; ++k)); do
  dir="$keep/run-$k"
  mkdir -p "$dir/frames"
  started=$SECONDS
  xvfb-run -a -s "-screen 0 1280x1024x24" "$program" "${capture[@]}" --out "$dir/frames" >"$dir/log" 2>&1
  status=$?
  verdict="ok"
  if [ "$status" -ge 128 ] || grep -qE "Sanitizer|runtime error:|malloc\(\)|free\(\)|corrupted|double free" "$dir/log"; then
    verdict="FAULT (status $status)"
    faults=$((faults + 1))
  elif [ "$status" -ne 0 ]; then
    verdict="failed (status $status)"
    failed=$((failed + 1))
  else
    sums="$(cd "$dir/frames" && sha256sum -- * | sort -k 2)"
    if [ -z "$reference" ]; then
      reference="$sums"
    elif [ "$sums" != "$reference" ]; then
      verdict="other frames"
      different=$((different + 1))
    fi
  fi
  echo "run $k: $verdict, $((SECONDS - started)) s"
  [ "$verdict" = ok ] && rm -rf "$dir/frames"
done
echo "soak: $runs runs, $faults faults, $different with other frames, $failed failed otherwise"
if [ $((faults + different + failed)) -eq 0 ]; then
  [ "$temporary" -eq 1 ] && rm -rf "$keep"
  exit 0
fi
echo "logs in $keep"
exit 1
