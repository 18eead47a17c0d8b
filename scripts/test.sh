#!/usr/bin/env bash
# Every test in a warning-free build and again under AddressSanitizer with
# UndefinedBehaviorSanitizer; the tests labelled "concurrency" also under
# ThreadSanitizer. Fails if any build or any test fails.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh" || exit 1

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

status=0
# run_tree DIR "CTEST ARGS" CMAKE OPTIONS...
run_tree() {
  local dir=$1 ctest_args=$2
  shift 2
  echo "=== $dir: building"
  # -U: every subsystem's tests, whatever an earlier configure chose.
  if ! "$top/scripts/build.sh" "$dir" -DSIRKO_WERROR=ON -DBUILD_TESTING=ON \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo -USIRKO_TEST_SUBSYSTEMS "$@"; then
    echo "=== $dir: build failed"
    status=1
    return
  fi
  echo "=== $dir: testing"
  # shellcheck disable=SC2086
  (cd "$top/$dir" && ctest --output-on-failure --no-label-summary -j "$(nproc)" --timeout 600 $ctest_args) || status=1
}

run_tree build-tsan "-L concurrency" -DSIRKO_SANITIZE=thread -DSIRKO_BENCH=OFF
run_tree build "" -DSIRKO_BENCH=ON
run_tree build-asan "" -DSIRKO_SANITIZE=address,undefined -DSIRKO_BENCH=OFF
exit $status
