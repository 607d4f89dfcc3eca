#!/usr/bin/env bash
# Everything CI checks, from a fresh Debian 12 machine (as root):
#   packages, host build + unit tests, Windows build, and the end-to-end tests
#   under Wine, with screenshots in build/screenshots.
# Prints a summary and exits non-zero when any step failed.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
REPO=$(pwd)

started=$(date +%s)
summary=()
failed=0

step() { # name, command...
  local name=$1 t0 rc
  shift
  echo
  echo "=== $name"
  t0=$(date +%s)
  "$@"
  rc=$?
  if [ $rc -eq 0 ]; then
    summary+=("ok    $name ($(($(date +%s) - t0)) s)")
  else
    summary+=("FAIL  $name (exit $rc, $(($(date +%s) - t0)) s)")
    failed=1
  fi
  return $rc
}

finish() {
  echo
  echo "=== summary ($(($(date +%s) - started)) s)"
  printf '  %s\n' "${summary[@]}"
  if [ $failed -eq 0 ]; then
    echo "ALL PASSED"
  else
    echo "FAILED"
  fi
  exit $failed
}

step "install dependencies" bash scripts/install-deps.sh || finish

# Host: the logic against the fake desktop.
if step "host configure" cmake -S . -B build/host -DTILEWICK_WERROR=ON -DCMAKE_BUILD_TYPE=Debug &&
  step "host build" cmake --build build/host -j2; then
  step "host tests" ctest --test-dir build/host --output-on-failure -j2
fi

# Host again under AddressSanitizer and UndefinedBehaviorSanitizer, in a build
# folder of its own; the first report of either ends the run with a failure.
sanitize="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all"
if step "host sanitizers configure" cmake -S . -B build/host-asan -DTILEWICK_WERROR=ON \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="$sanitize" -DCMAKE_EXE_LINKER_FLAGS="$sanitize" &&
  step "host sanitizers build" cmake --build build/host-asan -j2; then
  step "host tests under asan+ubsan" env ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest --test-dir build/host-asan --output-on-failure -j2
fi

# Windows: Tilewick.exe, the fake terminal and the end-to-end driver.
if step "windows configure" cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DTILEWICK_WERROR=ON -DCMAKE_BUILD_TYPE=Release &&
  step "windows build" cmake --build build/win -j2; then
  # Real PuTTY for the byte-level tests, built once and cached outside the clone.
  putty_path() { TWK_PUTTY_EXE=$(bash scripts/build-putty.sh) && export TWK_PUTTY_EXE; }
  step "putty build (cached)" putty_path
  export TWK_WINE_DIR=$REPO/build/win/wine
  export TWK_SHOT_DIR=$REPO/build/screenshots
  rm -rf "$TWK_SHOT_DIR"
  mkdir -p "$TWK_SHOT_DIR"
  source scripts/wine-env.sh
  trap 'twk_bench_down quiet' EXIT
  if step "wine bench up" twk_bench_up; then
    step "windows tests under wine" ctest --test-dir build/win --output-on-failure
    # What the desktop looks like once the tests are done: nothing left open.
    twk_screenshot "$TWK_SHOT_DIR/desktop-after-tests.png" || {
      summary+=("FAIL  final screenshot")
      failed=1
      tail -n 20 "$TWK_WINE_DIR/xvfb.log" 2>/dev/null
    }
    step "wine bench down" twk_bench_down
  fi
  trap - EXIT
  # The headless demo, start to end: six PuTTY terminals on loopback shells,
  # the tour through Tilewick, one picture per step, nothing left running.
  demo_smoke() {
    local dir=$TWK_SHOT_DIR/demo step
    env -u DISPLAY TWK_DEMO_SHOT_DIR="$dir" bash scripts/demo.sh || return 1
    for step in 1-selected 2-arranged 3-typed 4-filtered 5-compact; do
      [ -s "$dir/demo-$step.png" ] || { echo "no $dir/demo-$step.png"; return 1; }
    done
  }
  step "demo (headless)" demo_smoke
  # The picture a person checks: six terminals listed with Japanese titles.
  [ -f "$TWK_SHOT_DIR/six-terminals.png" ] ||
    { summary+=("FAIL  no six-terminals.png in $TWK_SHOT_DIR"); failed=1; }
  shots=$(find "$TWK_SHOT_DIR" -name '*.png' 2>/dev/null | sort)
  if [ -n "$shots" ]; then
    echo "screenshots:"
    printf '  %s\n' $shots
  else
    summary+=("FAIL  no screenshot in $TWK_SHOT_DIR")
    failed=1
  fi
fi

finish
