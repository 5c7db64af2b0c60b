#!/usr/bin/env bash
# Round-trip benchmark of the real program under Wine: sends IR codes one at a
# time through the simulated receiver and prints the median and 99th
# percentile time per code (a send returns only once the program has handled
# the report) and the program's memory before and after. Prints figures; does
# not fail on speed. Takes a few seconds (scripts/test runs it at the end).
#
#   tests/e2e/bench_roundtrip.sh [BUILD_DIR] [--codes N]
#
# BUILD_DIR is a Windows build (default build/windows) in which the targets
# Talvoro_IR, irsim and talvoro_roundtrip have been built.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
build="$root/build/windows"
if [[ $# -gt 0 && "$1" != --* ]]; then
  build=$(cd "$1" && pwd)
  shift
fi

program="$build/tests/e2e/talvoro_roundtrip.exe"
if [[ ! -f "$program" || ! -f "$build/dist/Talvoro_IR.exe" ]]; then
  echo "bench_roundtrip.sh: build first: cmake --build $build" >&2
  exit 2
fi

exec "$here/run_under_wine.sh" \
  --prefix "$build/e2e-wine" \
  --dist "$build/dist" \
  --work "$build/e2e-work" \
  --timeout 600 \
  -- "$program" "$@"
