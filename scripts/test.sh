#!/usr/bin/env bash
# Every test, twice: a warning-free build, then one under AddressSanitizer and
# UndefinedBehaviorSanitizer. Fails if either build or any test fails.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh" || exit 1

status=0
run_tree() {
  local dir=$1; shift
  echo "=== $dir: building"
  if ! "$top/scripts/build.sh" "$dir" -DSIRKO_WERROR=ON "$@"; then
    echo "=== $dir: build failed"
    status=1
    return
  fi
  echo "=== $dir: testing"
  (cd "$top/$dir" && ctest --output-on-failure -j "$(nproc)" --timeout 600) || status=1
}

run_tree build
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_tree build-asan -DSIRKO_SANITIZE=address,undefined -DSIRKO_BENCH=OFF
exit $status
