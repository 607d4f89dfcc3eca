#!/usr/bin/env bash
# Everything CI checks, from a fresh Debian 12 machine (as root):
#   packages, host build + unit tests, the 32- and 64-bit Windows builds, and
#   the end-to-end tests under Wine for each architecture this machine runs,
#   with screenshots in build/screenshots/<arch>.
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

# Windows: Tilewick.exe, the fake terminal and the end-to-end driver, for both
# architectures. The 32-bit build is the release; the 64-bit one runs where the
# kernel executes no 32-bit code. Each runs its end-to-end tests where this
# machine can run it, in a build folder, Wine prefix and PuTTY of its own.
source scripts/wine-env.sh # for twk_runs_32bit; sourced again per architecture
if twk_runs_32bit; then
  arches=(win32 win64)
  demo_arch=win32
else
  arches=(win64)
  demo_arch=win64
  summary+=("skip  i686 end to end: skipped (this machine runs no 32-bit code)")
fi

windows_build() { # wine arch
  local arch=$1 name
  export TWK_WINE_ARCH=$arch
  source scripts/wine-env.sh
  name="$TWK_MINGW_ARCH"
  step "$name configure" cmake -S . -B "build/$TWK_WIN_BUILD" -DCMAKE_TOOLCHAIN_FILE="$TWK_TOOLCHAIN_FILE" \
    -DTILEWICK_WERROR=ON -DCMAKE_BUILD_TYPE=Release &&
    step "$name build" cmake --build "build/$TWK_WIN_BUILD" -j2
}

windows_tests() { # wine arch
  local arch=$1 name
  export TWK_WINE_ARCH=$arch
  export TWK_WINE_DIR=$REPO/build/$([ "$arch" = win32 ] && echo win || echo win64)/wine
  export TWK_SHOT_DIR=$REPO/build/screenshots/$arch
  source scripts/wine-env.sh
  name=$TWK_MINGW_ARCH
  rm -rf "$TWK_SHOT_DIR"
  mkdir -p "$TWK_SHOT_DIR"
  # Real PuTTY for the byte-level tests, built once per architecture and
  # cached outside the clone.
  putty_path() { TWK_PUTTY_EXE=$(bash scripts/build-putty.sh --arch "$TWK_MINGW_ARCH") && export TWK_PUTTY_EXE; }
  step "$name putty build (cached)" putty_path || return 1
  trap 'twk_bench_down quiet' EXIT
  if step "$name wine bench up ($TWK_WINE_LOADER)" twk_bench_up; then
    step "$name end to end under wine" ctest --test-dir "build/$TWK_WIN_BUILD" --output-on-failure
    # What the desktop looks like once the tests are done: nothing left open.
    twk_screenshot "$TWK_SHOT_DIR/desktop-after-tests.png" || {
      summary+=("FAIL  $name final screenshot")
      failed=1
      tail -n 20 "$TWK_WINE_DIR/xvfb.log" 2>/dev/null
    }
    step "$name wine bench down" twk_bench_down
  fi
  trap - EXIT
  # The picture a person checks: six terminals listed with Japanese titles.
  [ -f "$TWK_SHOT_DIR/six-terminals.png" ] ||
    { summary+=("FAIL  no six-terminals.png in $TWK_SHOT_DIR"); failed=1; }
}

for arch in win32 win64; do
  windows_build $arch || continue
  if [[ " ${arches[*]} " == *" $arch "* ]]; then
    windows_tests $arch
  else
    # What needs no Wine still runs: the import table and the pictures.
    step "$TWK_MINGW_ARCH checks without wine" ctest --test-dir "build/$TWK_WIN_BUILD" --output-on-failure -LE wine
  fi
done

# The headless demo, start to end, with the build this machine runs best: six
# saved PuTTY sessions to loopback shells, opened by Tilewick as a group, the
# tour through Tilewick, one picture
# per step, nothing left running.
demo_smoke() {
  local dir=$REPO/build/screenshots/demo step
  env -u DISPLAY -u TWK_WINE_DIR -u TWK_SHOT_DIR -u TWK_PUTTY_EXE TWK_WINE_ARCH=$demo_arch \
    TWK_DEMO_SHOT_DIR="$dir" bash scripts/demo.sh || return 1
  for step in 1-opened 2-arranged 3-typed 4-filtered 5-compact; do
    [ -s "$dir/demo-$step.png" ] || { echo "no $dir/demo-$step.png"; return 1; }
  done
}
step "demo (headless, $demo_arch)" demo_smoke
shots=$(find build/screenshots -name '*.png' 2>/dev/null | sort)
if [ -n "$shots" ]; then
  echo "screenshots:"
  printf '  %s\n' $shots
else
  summary+=("FAIL  no screenshot in build/screenshots")
  failed=1
fi

finish
