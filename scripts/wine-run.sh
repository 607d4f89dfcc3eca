#!/usr/bin/env bash
# Runs one Windows program in the Wine bench and returns its exit code.
# Used by ctest for the end-to-end tests. When the bench is already up (test.sh,
# demo.sh, or the ctest fixture that brings it up) it is reused; otherwise it is
# brought up for this one run and taken down again afterwards.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

twk_bench_join || exit 1

child=""
on_signal() {
  [ -n "$child" ] && kill "$child" 2>/dev/null
  [ "$TWK_OWN_BENCH" = 1 ] && twk_bench_down quiet
  exit 124
}
trap on_signal INT TERM

twk_wine wine "$@" &
child=$!
wait "$child"
rc=$?
[ "$TWK_OWN_BENCH" = 1 ] && twk_bench_down quiet
exit $rc
