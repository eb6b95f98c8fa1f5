#!/usr/bin/env bash
# Runs the same capture of the intro again and again, each in a fresh Xvfb, and
# counts the runs that ended with a fault: a signal (a crash, an abort from the
# C library's heap checks) or a sanitizer's report. Runs whose frames differ from
# the first good run's are counted too: the capture is deterministic.
#
#   tools/soak-capture.sh [-n RUNS] [--build DIR] [--keep DIR] [--burn N] [--preload LIB]
#                         [--count PATTERN] [-- CAPTURE OPTIONS...]
#
#   -n RUNS       how many runs (10)
#   --build DIR   the build folder whose skelvane-capture runs (build/linux); the
#                 address or thread flavour's build folder runs it under that sanitizer
#   --keep DIR    keeps each run's output and log in DIR/run-K (default: a temporary
#                 folder, removed at the end unless some run failed)
#   --burn N      keeps N processes spinning on the processor beside each run: races
#                 that an idle machine hides show up on a busy one
#   --preload LIB runs the capture (and only the capture, not the X server) with
#                 LD_PRELOAD=LIB, such as a probe that widens a race's window
#   --count PATTERN  counts the lines of each run's log that match PATTERN (grep -E),
#                 such as a probe's report lines, per run and in all
#   CAPTURE OPTIONS  replace the default capture, the first minute of the intro:
#                 --at 0,0.5,5,9.9,10,10.1,10.5,11,12,15,20,25,30,40,60
#
# Each run goes under gdb, when there is one, so that a run that ends on a signal leaves
# the backtrace of every thread in DIR/run-K/log. Not part of ./test: a run of the
# first minute takes minutes. The last line reads "soak: R runs, F faults, D with
# other frames, X failed otherwise" (and ", C lines matching PATTERN" with --count);
# the exit status is 0 only when every run ended cleanly with the same frames.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
runs=10
build="$root/build/linux"
keep=""
burn=0
preload=""
count=""
capture=(--at 0,0.5,5,9.9,10,10.1,10.5,11,12,15,20,25,30,40,60)
while [ $# -gt 0 ]; do
  case "$1" in
    -n) runs="$2"; shift 2 ;;
    --build) build="$(cd "$2" && pwd)"; shift 2 ;;
    --keep) keep="$2"; shift 2 ;;
    --burn) burn="$2"; shift 2 ;;
    --preload) preload="$(realpath "$2")"; shift 2 ;;
    --count) count="$2"; shift 2 ;;
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

# The capture as each run starts it: under gdb, which prints every thread's backtrace
# when the program stops on a signal, and with the preload set for it alone.
launcher=()
if command -v gdb >/dev/null; then
  launcher=(gdb -q -batch -return-child-result -ex "set pagination off"
            -ex "handle SIGPIPE SIGUSR1 SIGUSR2 nostop noprint pass")
  [ -n "$preload" ] && launcher+=(-ex "set environment LD_PRELOAD=$preload")
  launcher+=(-ex run -ex "thread apply all bt" --args)
elif [ -n "$preload" ]; then
  launcher=(env "LD_PRELOAD=$preload")
fi

burners=()
stop_burners() {
  [ ${#burners[@]} -gt 0 ] && kill "${burners[@]}" 2>/dev/null
  burners=()
}
trap stop_burners EXIT

faults=0 different=0 failed=0 matched=0 reference=""
for ((k = 1; k <= runs; ++k)); do
  dir="$keep/run-$k"
  mkdir -p "$dir/frames"
  for ((b = 0; b < burn; ++b)); do
    (while :; do :; done) &
    burners+=($!)
  done
  started=$SECONDS
  xvfb-run -a -s "-screen 0 1280x1024x24" "${launcher[@]}" "$program" "${capture[@]}" --out "$dir/frames" \
    >"$dir/log" 2>&1
  status=$?
  stop_burners
  verdict="ok"
  lines=""
  if [ -n "$count" ]; then
    n=$(grep -cE -- "$count" "$dir/log")
    matched=$((matched + n))
    lines=", $n lines matching"
  fi
  if [ "$status" -ge 128 ] || grep -qE "received signal SIG(SEGV|ABRT|BUS|FPE|ILL)|Sanitizer|runtime error:|malloc\(\)|free\(\)|corrupted|double free" "$dir/log"; then
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
  echo "run $k: $verdict, $((SECONDS - started)) s$lines"
  [ "$verdict" = ok ] && rm -rf "$dir/frames"
done
summary="soak: $runs runs, $faults faults, $different with other frames, $failed failed otherwise"
[ -n "$count" ] && summary+=", $matched lines matching $count"
echo "$summary"
if [ $((faults + different + failed)) -eq 0 ]; then
  [ "$temporary" -eq 1 ] && rm -rf "$keep"
  exit 0
fi
echo "logs in $keep"
exit 1
