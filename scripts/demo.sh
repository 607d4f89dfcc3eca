#!/usr/bin/env bash
# Shows Tilewick with six terminal windows under Wine.
# With a real $DISPLAY the bench uses it and leaves everything running (stop it
# with: TWK_WINE_DIR=build/win/wine bash scripts/wine-bench.sh down).
# Without one it runs in Xvfb, saves a screenshot and cleans up.
# Builds the Windows configuration first when it is missing.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
REPO=$(pwd)

bash scripts/install-deps.sh || exit 1
if [ ! -f build/win/Tilewick.exe ] || [ ! -f build/win/tests/e2e/fake_terminal.exe ]; then
  cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null &&
    cmake --build build/win -j2 --target Tilewick fake_terminal || exit 1
fi

export TWK_WINE_DIR=$REPO/build/win/wine
export TWK_SHOT_DIR=$REPO/build/screenshots
interactive=0
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  interactive=1
  export TWK_USE_DISPLAY=1
fi
source scripts/wine-env.sh
twk_bench_up || exit 1
[ $interactive = 1 ] || trap 'twk_bench_down quiet' EXIT

term=$REPO/build/win/tests/e2e/fake_terminal.exe
titles=("web01.prod - PuTTY" "web02.prod - PuTTY" "db-主系 - PuTTY"
  "db-副系 - PuTTY" "バッチサーバ - PuTTY" "監視 mon01 - PuTTY")
# Titles go through files: a Unix command line reaches Wine in the Unix
# locale's code page, and ja_JP.UTF-8 need not exist on the machine.
mkdir -p "$TWK_WINE_DIR/demo"
for i in "${!titles[@]}"; do
  x=$((440 + (i % 3) * 385))
  y=$((10 + (i / 3) * 490))
  printf '%s' "${titles[$i]}" >"$TWK_WINE_DIR/demo/title$i.txt"
  twk_wine wine "$term" --title-file "$TWK_WINE_DIR/demo/title$i.txt" --pos "$x,$y,380,480" >/dev/null 2>&1 &
done

count_terminals() {
  xwininfo -display "$TWK_DISPLAY" -root -tree 2>/dev/null | grep -c 'PuTTY"'
}
for _ in $(seq 1 200); do
  [ "$(count_terminals)" -ge 6 ] && break
  sleep 0.1
done

twk_wine wine "$REPO/build/win/Tilewick.exe" >/dev/null 2>&1 &
for _ in $(seq 1 200); do
  xwininfo -display "$TWK_DISPLAY" -root -tree 2>/dev/null | grep -q '"Tilewick"' && break
  sleep 0.1
done
# Let the list and the first paint finish before the picture.
sleep 2

shot=$TWK_SHOT_DIR/demo.png
twk_screenshot "$shot" && echo "screenshot: $shot"
if [ $interactive = 1 ]; then
  echo "Tilewick and six terminals are running on $TWK_DISPLAY."
  echo "Stop them with: TWK_WINE_DIR=$TWK_WINE_DIR bash scripts/wine-bench.sh down"
fi
