#!/usr/bin/env bash
# Tilewick's benchmark. Builds what it needs under build/bench, then:
#   1. the host benchmark of the list logic over the fake desktop at 1000 and
#      10 000 windows (Google Benchmark);
#   2. under Wine, in a desktop of its own (build/bench/wine), Tilewick against
#      baseline programs doing the same window-system work on the same windows:
#      start-up to a full list, F5 and filter keys at 100/500 and 1000/5000
#      windows, one key and one paste to 50 terminals (shown, so their bands
#      are kept meanwhile); with 50 shown terminals and with 1000 among 5000
#      windows, first none and then all selected: Tilewick's resident memory
#      and the idle processor time of Tilewick and the wineserver in both and
#      their differences, the time until every band shows, how long its loop
#      takes to answer and how soon a band follows a moved terminal;
#      opening twenty saved PuTTY sessions (Alt+1 on a group) until they are
#      tiled, against a launcher that starts the same PuTTY and tiles them;
#      a table of medians with min and max, the ratio to each baseline, and
#      Tilewick's peak memory.
# Takes a few minutes. Options go to the Wine driver:
#   --reps N              repetitions of each measurement (default 7; start-up,
#                         key and paste take twice as many)
#   --large-plain-reps N  of the plain baseline at 1000/5000, which is slow (default 1)
#   --only LIST           some of startup,small,large,input,bands,sessions
# TWK_TILEWICK_EXE=/path/Tilewick.exe measures another build of Tilewick;
# TWK_PUTTY_EXE another putty.exe (default: what scripts/build-putty.sh built).
# TWK_WINE_ARCH=win32|win64 picks the build; by default the 32-bit one where
# this machine runs 32-bit code, else the 64-bit one.
# Not part of scripts/test.sh: its numbers are reported, never asserted.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
REPO=$(pwd)
BENCH=$REPO/build/bench

bash scripts/install-deps.sh
export TWK_WINE_DIR=$BENCH/wine
source scripts/wine-env.sh
WIN=$BENCH/$TWK_WIN_BUILD

echo "=== build ($TWK_MINGW_ARCH Windows build under $TWK_WINE_LOADER)"
cmake -S . -B "$BENCH/host" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BENCH/host" -j2 --target filter_bench >/dev/null
cmake -S . -B "$WIN" -DCMAKE_TOOLCHAIN_FILE="$TWK_TOOLCHAIN_FILE" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$WIN" -j2 --target bench_driver >/dev/null
TWK_PUTTY_EXE=${TWK_PUTTY_EXE:-$(bash scripts/build-putty.sh --arch "$TWK_MINGW_ARCH")}
export TWK_PUTTY_EXE

echo "=== host logic over the fake desktop"
"$BENCH/host/tests/bench/filter_bench" --benchmark_min_time=0.2

echo "=== Wine ($TWK_WINE_ARCH)"
trap 'twk_bench_down quiet' EXIT
twk_bench_up
if [ -n "${TWK_TILEWICK_EXE:-}" ]; then
  export TWK_TILEWICK_EXE
fi
twk_wine wine "$WIN/tests/bench/wine/bench_driver.exe" "$@"
