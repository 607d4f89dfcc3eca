#!/usr/bin/env bash
# Brings the Wine bench up or down from the command line or from ctest:
#   wine-bench.sh up|down|status
#   wine-bench.sh fixture-up|fixture-down   (ctest: take the bench down only
#                                            when the fixture brought it up)
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
owned_marker=$TWK_WINE_DIR/bench.ctest-owned

case "${1:-}" in
  up) twk_bench_up ;;
  down) twk_bench_down ;;
  status) twk_bench_is_up && echo "up on $(_twk_state_get display)" || { echo down; exit 1; } ;;
  fixture-up)
    if twk_bench_is_up; then
      rm -f "$owned_marker"
    else
      twk_bench_up && touch "$owned_marker"
    fi ;;
  fixture-down)
    if [ -f "$owned_marker" ]; then
      rm -f "$owned_marker"
      twk_bench_down
    fi ;;
  *) echo "usage: $0 up|down|status|fixture-up|fixture-down" >&2; exit 2 ;;
esac
