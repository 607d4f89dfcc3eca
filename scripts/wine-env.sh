# Sourced, not run. Sets up the Wine test bench for Tilewick:
#   - a private prefix and HOME under one bench folder, so nothing reads or
#     writes a real user's Documents (twk.ini, tw.chm);
#   - one shared 1600x1000 virtual desktop for every process of the prefix
#     (a program outside that desktop cannot see Tilewick's windows);
#   - an X display: Xvfb on a free display, or the caller's $DISPLAY when
#     TWK_USE_DISPLAY=1;
#   - a screenshot service: a test writes NAME.req into the exchange folder's
#     shots/ and the service saves the whole desktop as NAME.png in
#     $TWK_SHOT_DIR (Wine programs cannot grab the X screen themselves).
#
# Variables (all optional):
#   TWK_WINE_ARCH   win64 or win32: which loader runs the programs, and which
#                   prefix (each architecture has its own). Default: win32
#                   where this machine runs 32-bit code, else win64.
#   TWK_WINE_DIR    bench folder, default <repo>/build/wine
#   TWK_SHOT_DIR    where screenshots go, default $TWK_WINE_DIR/screenshots
#   TWK_USE_DISPLAY 1 = use the caller's $DISPLAY instead of starting Xvfb
#
# Functions: twk_bench_up, twk_bench_down, twk_bench_is_up, twk_bench_join, twk_wine CMD...,
# twk_screenshot FILE.png, twk_set_dpi DPI, twk_runs_32bit.

TWK_REPO_DIR=${TWK_REPO_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
TWK_WINE_DIR=${TWK_WINE_DIR:-$TWK_REPO_DIR/build/wine}
mkdir -p "$TWK_WINE_DIR"
TWK_WINE_DIR=$(cd "$TWK_WINE_DIR" && pwd)
TWK_SHOT_DIR=${TWK_SHOT_DIR:-$TWK_WINE_DIR/screenshots}
TWK_STATE_FILE=$TWK_WINE_DIR/bench.state
TWK_EXCHANGE_DIR=$TWK_WINE_DIR/exchange
TWK_DESKTOP_SIZE=1600x1000

# Debian's /usr/bin/wine and wineboot pick the 32-bit loader whenever wine32
# is installed, even on a kernel that cannot execute it: name the loader.
TWK_WINE32_LOADER=/usr/lib/wine/wine
TWK_WINE64_LOADER=/usr/lib/wine/wine64

# True where the 32-bit loader runs: wine32 installed and a kernel that
# executes 32-bit code.
twk_runs_32bit() {
  "$TWK_WINE32_LOADER" --version >/dev/null 2>&1
}

if [ -z "${TWK_WINE_ARCH:-}" ]; then
  if twk_runs_32bit; then TWK_WINE_ARCH=win32; else TWK_WINE_ARCH=win64; fi
fi
case "$TWK_WINE_ARCH" in
  win32) TWK_WINE_LOADER=$TWK_WINE32_LOADER ;;
  win64) TWK_WINE_LOADER=$TWK_WINE64_LOADER ;;
  *) echo "wine-bench: TWK_WINE_ARCH must be win32 or win64, not '$TWK_WINE_ARCH'" >&2; return 1 ;;
esac
export TWK_WINE_ARCH WINEARCH=$TWK_WINE_ARCH WINELOADER=$TWK_WINE_LOADER
# The Windows build that this bench runs: its compilers' architecture, its
# toolchain file and its build folder's name under build/ (or a bench's own).
if [ "$TWK_WINE_ARCH" = win32 ]; then TWK_MINGW_ARCH=i686 TWK_WIN_BUILD=win; else TWK_MINGW_ARCH=x86_64 TWK_WIN_BUILD=win64; fi
TWK_TOOLCHAIN_FILE=$TWK_REPO_DIR/cmake/mingw-$TWK_MINGW_ARCH.cmake
export WINEPREFIX=$TWK_WINE_DIR/prefix-$TWK_WINE_ARCH
export WINEDEBUG=-all
# No Mono or Gecko downloads: there is no network for them, and the dialogs
# asking for them would stall the first boot.
# A crashing program ends at once instead of waiting in the debugger until
# the test times out.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export TWK_E2E_DIR=$TWK_EXCHANGE_DIR

_twk_log() { echo "wine-bench: $*" >&2; }

# Runs a Wine command in the bench: own HOME, Japanese locale (Japanese text
# renders legibly only that way), the bench's display, and the loader of the
# bench's architecture for "wine" and "wineboot".
twk_wine() {
  local limit=()
  [ "${1:-}" = timeout ] && { limit=(timeout "$2"); shift 2; }
  case "${1:-}" in
    wine) set -- "${limit[@]}" "$TWK_WINE_LOADER" "${@:2}" ;;
    wineboot) set -- "${limit[@]}" "$TWK_WINE_LOADER" wineboot "${@:2}" ;;
    *) set -- "${limit[@]}" "$@" ;;
  esac
  env -u LC_ALL -u LC_CTYPE -u LC_MESSAGES -u LANGUAGE \
    HOME="$TWK_WINE_DIR/home" LANG=ja_JP.UTF-8 DISPLAY="${TWK_DISPLAY:-${DISPLAY:-}}" \
    "$@"
}

_twk_state_get() {
  [ -f "$TWK_STATE_FILE" ] || return 1
  sed -n "s/^$1=//p" "$TWK_STATE_FILE"
}

twk_bench_is_up() {
  local disp
  disp=$(_twk_state_get display) || return 1
  [ -n "$disp" ] && xdpyinfo -display "$disp" >/dev/null 2>&1
}

_twk_free_display() {
  local n
  for n in $(seq 90 190); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      echo ":$n"
      return 0
    fi
  done
  return 1
}

_twk_wait_for() { # seconds, command...
  local limit=$1 i
  shift
  for i in $(seq 1 $((limit * 10))); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# Caption buttons draw their glyphs from Marlett, which a new prefix lacks in
# C:\windows\Fonts: without it they show as the letters "0 1 r". Wine's own
# copy comes with fonts-wine. Checked on every start, so older prefixes get it
# too; it takes effect from the next wineserver start.
_twk_add_marlett() {
  local marlett fonts=$WINEPREFIX/drive_c/windows/Fonts
  marlett=$(dpkg -L fonts-wine 2>/dev/null | grep -m1 '/marlett\.ttf$')
  [ -n "$marlett" ] && [ -f "$marlett" ] && [ -d "$fonts" ] || return 0
  cmp -s "$marlett" "$fonts/marlett.ttf" || cp -f "$marlett" "$fonts/marlett.ttf"
}

# The display scale (LogPixels: 96 is 100 %, 144 is 150 %). Wine reads it when
# its server starts, so the server is ended here; the next program starts it
# again at the new scale.
twk_set_dpi() { # dpi
  twk_wine wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
    >/dev/null 2>&1 || return 1
  twk_wine wineserver -k >/dev/null 2>&1 || true
  twk_wine wineserver -w >/dev/null 2>&1 || true
}

_twk_make_prefix() {
  mkdir -p "$TWK_WINE_DIR/home"
  # The marker names the architecture that made the prefix: a prefix of the
  # other one is made anew rather than handed to the wrong loader.
  if [ "$(cat "$WINEPREFIX/.twk-ready" 2>/dev/null)" != "$TWK_WINE_ARCH" ]; then
    _twk_log "creating $TWK_WINE_ARCH prefix $WINEPREFIX (first boot takes 10-20 s)"
    rm -rf "$WINEPREFIX"
    twk_wine timeout 180 wineboot -i >/dev/null 2>&1 || true
    twk_wine wineserver -w
    [ -f "$WINEPREFIX/system.reg" ] || { _twk_log "wineboot made no prefix in $WINEPREFIX"; return 1; }
    # One virtual desktop shared by every process of the prefix.
    twk_wine wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    twk_wine wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$TWK_DESKTOP_SIZE" /f >/dev/null 2>&1
    twk_wine wineserver -w
    echo "$TWK_WINE_ARCH" >"$WINEPREFIX/.twk-ready"
  fi
  _twk_add_marlett
  # Wine links these to $HOME's folders; make them plain folders of the bench.
  local user_dir link
  for user_dir in "$WINEPREFIX"/drive_c/users/*/; do
    [ "$(basename "$user_dir")" = Public ] && continue
    for link in Documents Desktop Downloads Music Pictures Videos Templates; do
      if [ -L "$user_dir$link" ]; then
        rm -f "$user_dir$link"
        mkdir -p "$user_dir$link"
      fi
    done
  done
}

_twk_desktop_shown() {
  xwininfo -display "$TWK_DISPLAY" -root -tree 2>/dev/null | grep -q "Wine desktop.*$TWK_DESKTOP_SIZE"
}

_twk_shot_service() { # display shotdir exchange
  local disp=$1 out=$2 req=$3/shots f name
  mkdir -p "$out" "$req"
  while :; do
    for f in "$req"/*.req; do
      [ -e "$f" ] || continue
      name=$(basename "$f" .req)
      # The test waits for this answer file: it names where the picture went,
      # or is empty when none could be taken, which fails the test.
      if import -display "$disp" -window root "$out/$name.png.tmp.png" >/dev/null 2>&1 &&
        mv -f "$out/$name.png.tmp.png" "$out/$name.png"; then
        echo "$out/$name.png" >"$req/$name.done"
      else
        : >"$req/$name.done"
      fi
      rm -f "$f"
    done
    sleep 0.2
  done
}

# Waits until Xvfb answers on the display; an Xvfb that has exited ends the
# wait at once.
_twk_wait_for_x() { # xvfb pid
  local i
  for i in $(seq 1 200); do
    xdpyinfo -display "$TWK_DISPLAY" >/dev/null 2>&1 && return 0
    kill -0 "$1" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

twk_bench_up() {
  if twk_bench_is_up; then
    TWK_DISPLAY=$(_twk_state_get display)
    export TWK_DISPLAY
    return 0
  fi
  twk_bench_down quiet
  local xvfb_pid="" why
  if ! why=$("$TWK_WINE_LOADER" --version 2>&1); then
    _twk_log "$TWK_WINE_LOADER does not run: ${why:-no output}"
    [ "$TWK_WINE_ARCH" = win32 ] && _twk_log "(a win32 bench needs a machine that runs 32-bit code)"
    [ -e "$TWK_WINE_LOADER" ] || _twk_log "(scripts/install-deps.sh installs it)"
    return 1
  fi
  if [ "${TWK_USE_DISPLAY:-0}" = 1 ] && [ -n "${DISPLAY:-}" ]; then
    TWK_DISPLAY=$DISPLAY
  else
    TWK_DISPLAY=$(_twk_free_display) || { _twk_log "no free X display"; return 1; }
    # -noreset: no server reset each time the last client goes, as it can
    # when Wine's desktop ends between two tests. Xvfb's own words go to
    # xvfb.log, for when it is not there at the end.
    Xvfb "$TWK_DISPLAY" -screen 0 "${TWK_DESKTOP_SIZE}x24" -nolisten tcp -noreset \
      >"$TWK_WINE_DIR/xvfb.log" 2>&1 &
    xvfb_pid=$!
    if ! _twk_wait_for_x "$xvfb_pid"; then
      _twk_log "Xvfb did not start on $TWK_DISPLAY: $(tail -n 3 "$TWK_WINE_DIR/xvfb.log" 2>/dev/null)"
      kill "$xvfb_pid" 2>/dev/null
      return 1
    fi
  fi
  export TWK_DISPLAY
  {
    echo "display=$TWK_DISPLAY"
    echo "xvfb_pid=$xvfb_pid"
  } >"$TWK_STATE_FILE"

  # A half-made bench is taken down, so that the next start does not take it for up.
  _twk_make_prefix || { twk_bench_down quiet; return 1; }
  rm -rf "$TWK_EXCHANGE_DIR"
  mkdir -p "$TWK_EXCHANGE_DIR/shots" "$TWK_SHOT_DIR"

  # Boot the prefix (services and the desktop) before any test so the first
  # test does not pay for it.
  twk_wine wineboot >/dev/null 2>&1 || true
  if ! _twk_wait_for 60 _twk_desktop_shown; then
    _twk_log "the Wine desktop did not appear"
  fi

  _twk_shot_service "$TWK_DISPLAY" "$TWK_SHOT_DIR" "$TWK_EXCHANGE_DIR" </dev/null >/dev/null 2>&1 &
  echo "shot_pid=$!" >>"$TWK_STATE_FILE"
  _twk_log "up on $TWK_DISPLAY (prefix $WINEPREFIX)"
}

# For a script that runs one thing in the bench: uses the bench when it is up,
# or brings it up and sets TWK_OWN_BENCH=1, for the caller to take it down.
twk_bench_join() {
  TWK_OWN_BENCH=0
  if ! twk_bench_is_up; then
    twk_bench_up || return 1
    TWK_OWN_BENCH=1
  fi
  TWK_DISPLAY=$(_twk_state_get display)
  export TWK_DISPLAY
}

twk_bench_down() {
  local xvfb_pid shot_pid
  xvfb_pid=$(_twk_state_get xvfb_pid 2>/dev/null || true)
  shot_pid=$(_twk_state_get shot_pid 2>/dev/null || true)
  if [ -d "$WINEPREFIX" ]; then
    twk_wine wineserver -k >/dev/null 2>&1 || true
    twk_wine wineserver -w >/dev/null 2>&1 || true
  fi
  # A service that already ended is no error: under `set -e` (bench.sh's exit
  # trap) a failed kill would end the function before the state file goes.
  [ -z "$shot_pid" ] || kill "$shot_pid" 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    _twk_wait_for 10 eval "! kill -0 $xvfb_pid 2>/dev/null" || kill -9 "$xvfb_pid" 2>/dev/null || true
  fi
  rm -f "$TWK_STATE_FILE"
  [ "${1:-}" = quiet ] || _twk_log "down"
  return 0
}

twk_screenshot() { # file.png
  mkdir -p "$(dirname "$1")"
  import -display "$TWK_DISPLAY" -window root "$1"
}
