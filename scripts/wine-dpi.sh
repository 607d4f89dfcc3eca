#!/usr/bin/env bash
# Runs one Windows program in the Wine bench at another display scale and
# puts the bench back to 96 DPI afterwards, pass or fail, so every other test
# runs at 100 %. Used by ctest for the scaled-display checks:
#   wine-dpi.sh DPI PROGRAM [ARGS...]
set -uo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
source "$here/wine-env.sh"
dpi=$1
shift

twk_bench_join || exit 1

back_to_96() {
  twk_set_dpi 96
  twk_wine wineboot >/dev/null 2>&1 || true
  _twk_wait_for 60 _twk_desktop_shown || _twk_log "the Wine desktop did not come back"
  [ "$TWK_OWN_BENCH" = 1 ] && twk_bench_down quiet
}
trap 'back_to_96; exit 124' INT TERM

twk_set_dpi "$dpi" || { back_to_96; exit 1; }
twk_wine wineboot >/dev/null 2>&1 || true
_twk_wait_for 60 _twk_desktop_shown || _twk_log "the Wine desktop did not appear at $dpi DPI"
bash "$here/wine-run.sh" "$@"
rc=$?
back_to_96
exit $rc
