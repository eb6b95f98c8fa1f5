#!/usr/bin/env bash
# The project's C++ sources against .clang-format (and the .clang-format files of the
# folders that keep to 100 columns), with clang-format 14:
#   scripts/check-format.sh          names every line that would change; exits 1 if any
#   scripts/check-format.sh --fix    formats the files in place
# The sources are the .cpp and .h files git knows or would add (generated and ignored
# files are left out).
set -euo pipefail
cd "$(dirname "$0")/.."

mode=check
case "${1:-}" in
  "") ;;
  --fix) mode=fix ;;
  *) echo "usage: scripts/check-format.sh [--fix]" >&2; exit 2 ;;
esac

format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$format" ]; then
  echo "check-format: clang-format is not installed (scripts/install-deps.sh installs it)" >&2
  exit 2
fi

jobs=$(nproc 2>/dev/null || echo 2)
list_sources() {
  git ls-files -z --cached --others --exclude-standard -- '*.cpp' '*.h'
}

if [ "$mode" = fix ]; then
  list_sources | xargs -0 -r -n 20 -P "$jobs" "$format" -i --style=file
  exit 0
fi
if ! list_sources | xargs -0 -r -n 20 -P "$jobs" "$format" --dry-run --Werror --style=file; then
  echo "check-format: the files above differ from .clang-format; scripts/check-format.sh --fix formats them" >&2
  exit 1
fi
