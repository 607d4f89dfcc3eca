#!/usr/bin/env bash
# Shows Tilewick doing its job on six real terminals under Wine, from an empty
# desktop: six saved PuTTY sessions in a group that Tilewick opens, each
# connected over loopback to a shell of its own on this machine (a socat
# listener per terminal running bash on a pseudo-terminal, with a prompt and
# $HOST naming that terminal's host, in a scratch folder).
#
#   scripts/demo.sh        start the demo
#   scripts/demo.sh stop   stop everything a demo left running
#
# With a usable $DISPLAY everything stays up for you to drive. Without one it
# runs in Xvfb and tours Tilewick with real input: open the group (Alt+1),
# arrange 3 x 2,
# type a command into all six terminals, filter to two hosts, compact mode;
# it saves a screenshot after each step, prints their paths, and ends
# everything it started.
#
# Environment (all optional):
#   TWK_DEMO_PORT      first of six consecutive loopback ports to listen on
#                      (default: six free ones from 23400 up)
#   TWK_DEMO_SHELL     the hosts' shell, a bash (default: bash)
#   TWK_PUTTY_EXE      putty.exe (default: what scripts/build-putty.sh built)
#   TWK_WINE_ARCH      win32 or win64 (default: the 32-bit build where this
#                      machine runs 32-bit code, else the 64-bit one)
#   TWK_DEMO_SHOT_DIR  where the screenshots go (default build/demo/screenshots)
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
REPO=$(pwd)
DEMO_DIR=$REPO/build/demo
STATE=$DEMO_DIR/demo.state # what a running demo started: listener pids, scratch folder

hosts=(web01.prod web02.prod db01.prod db02.prod batch01.prod mon01.prod)
titles=("web01.prod - PuTTY" "web02.prod - PuTTY" "db01.prod（主系） - PuTTY"
  "db02.prod（副系） - PuTTY" "batch01.prod バッチ - PuTTY" "mon01.prod 監視 - PuTTY")
filter=web
first_free_port=23400 # below the ephemeral range, where outgoing connections take theirs

say() { echo "demo: $*"; }
die() {
  echo "demo: $*" >&2
  exit 1
}

# The demo's own bench: prefix, HOME and display apart from the tests'.
bench_env() {
  export TWK_WINE_DIR=$DEMO_DIR/wine
  export TWK_SHOT_DIR=${TWK_DEMO_SHOT_DIR:-$DEMO_DIR/screenshots}
  source "$REPO/scripts/wine-env.sh"
}

descendants() { # pid: its children's pids, depth first
  local child
  for child in $(ps -o pid= --ppid "$1" 2>/dev/null); do
    descendants "$child"
    echo "$child"
  done
}

# Ends what the demo of $STATE started: the Wine programs and the bench, then
# each listener with the shell it runs, then the scratch folder.
stop_demo() {
  bench_env
  twk_bench_down quiet
  [ -f "$STATE" ] || return 0
  local pid pids=() scratch
  for pid in $(sed -n 's/^listener=//p' "$STATE"); do
    pids+=($(descendants "$pid") "$pid")
  done
  [ ${#pids[@]} -gt 0 ] && kill "${pids[@]}" 2>/dev/null
  for pid in "${pids[@]}"; do
    for _ in $(seq 1 50); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null
  done
  scratch=$(sed -n 's/^scratch=//p' "$STATE")
  [ -n "$scratch" ] && rm -rf "$scratch"
  rm -f "$STATE"
}

if [ "${1:-}" = stop ]; then
  stop_demo
  say "stopped"
  exit 0
elif [ $# -gt 0 ]; then
  die "usage: scripts/demo.sh [stop]"
fi

# --- What the demo needs --------------------------------------------------------

shell=${TWK_DEMO_SHELL:-bash}
shell_path=$(command -v "$shell") || die "shell '$shell' not found (TWK_DEMO_SHELL names the hosts' bash)"

bash scripts/install-deps.sh >/dev/null || die "cannot install the packages it needs (scripts/install-deps.sh)"
bench_env || die "TWK_WINE_ARCH must be win32 or win64"
build=build/$TWK_WIN_BUILD
say "the $TWK_MINGW_ARCH build ($build) under $TWK_WINE_LOADER$(twk_runs_32bit || echo ': this machine runs no 32-bit code')"
if [ ! -f $build/CMakeCache.txt ]; then
  cmake -S . -B $build -DCMAKE_TOOLCHAIN_FILE="$TWK_TOOLCHAIN_FILE" -DCMAKE_BUILD_TYPE=Release >/dev/null ||
    die "cannot configure the Windows build in $build"
fi
cmake --build $build -j2 --target Tilewick demo_tour >/dev/null || die "cannot build Tilewick.exe and demo_tour.exe"
tour=$REPO/$build/tests/e2e/demo_tour.exe

putty=${TWK_PUTTY_EXE:-$(bash scripts/build-putty.sh --arch "$TWK_MINGW_ARCH")} || die "cannot build PuTTY (scripts/build-putty.sh)"
[ -f "$putty" ] || die "PuTTY not found at '$putty'"

# A demo still running holds ports and the bench: end it first.
if [ -f "$STATE" ]; then
  say "stopping the demo that is still running"
  stop_demo
fi

port_in_use() { [ -n "$(ss -Hltn "sport = :$1" 2>/dev/null)" ]; }
ports=()
if [ -n "${TWK_DEMO_PORT:-}" ]; then
  [[ $TWK_DEMO_PORT =~ ^[0-9]+$ ]] && [ "$TWK_DEMO_PORT" -ge 1024 ] && [ "$TWK_DEMO_PORT" -le 65530 ] ||
    die "TWK_DEMO_PORT must be a port number from 1024 to 65530, not '$TWK_DEMO_PORT'"
  for i in "${!hosts[@]}"; do
    p=$((TWK_DEMO_PORT + i))
    port_in_use $p && die "port $p on 127.0.0.1 is already in use (TWK_DEMO_PORT=$TWK_DEMO_PORT asks for $TWK_DEMO_PORT-$((TWK_DEMO_PORT + 5)))"
    ports+=($p)
  done
else
  for p in $(seq $first_free_port $((first_free_port + 500))); do
    [ ${#ports[@]} -eq ${#hosts[@]} ] && break
    port_in_use $p || ports+=($p)
  done
  [ ${#ports[@]} -eq ${#hosts[@]} ] || die "no six free ports from $first_free_port up"
fi

interactive=0
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  interactive=1
  export TWK_USE_DISPLAY=1
fi

# --- Start ----------------------------------------------------------------------

mkdir -p "$DEMO_DIR"
scratch=$(mktemp -d "$DEMO_DIR/hosts.XXXXXX")
echo "scratch=$scratch" >"$STATE"
# Whatever fails from here on, nothing stays running.
trap stop_demo EXIT
trap 'exit 130' INT TERM HUP

# One listener per host: one connection, a login-less bash on a pseudo-terminal.
# Its prompt sets the terminal's title the way xterm-minded prompts do, in
# UTF-8 (a title in PuTTY's own settings would pass through Wine's ANSI code
# page, which has no Japanese here); history -a leaves each command that ran in
# .bash_history, where the tour looks for the one it typed.
prompt='\[\e]0;$TITLE\a\e[1;32m\]\u@$HOST\[\e[0m\]:\w\$ '
user=$(id -un)
for i in "${!hosts[@]}"; do
  host=${hosts[$i]}
  home=$scratch/$host
  mkdir -p "$home"
  (cd "$home" && exec env -i PATH="$PATH" HOME="$home" USER="$user" LOGNAME="$user" \
    TERM=xterm LANG=C.UTF-8 HOST="$host" HOSTNAME="$host" TITLE="${titles[$i]}" \
    PS1="$prompt" PROMPT_COMMAND='history -a' \
    socat "TCP-LISTEN:${ports[$i]},bind=127.0.0.1,reuseaddr" \
    "EXEC:$shell_path --norc -i,pty,setsid,ctty,sane,stderr" </dev/null >/dev/null 2>"$DEMO_DIR/listener-$host.log") &
  echo "listener=$!" >>"$STATE"
  pids[$i]=$!
done
listening() { # index
  ss -Hltnp "sport = :${ports[$1]}" 2>/dev/null | grep -q "pid=${pids[$1]},"
}
for i in "${!hosts[@]}"; do
  for _ in $(seq 1 100); do
    listening $i && break
    kill -0 "${pids[$i]}" 2>/dev/null || break
    sleep 0.1
  done
  listening $i || die "port ${ports[$i]} on 127.0.0.1 is already in use (the listener for ${hosts[$i]} could not bind it)"
done

bench_env
twk_bench_up || die "the Wine bench did not come up in $TWK_WINE_DIR"

# A saved PuTTY session per host: raw protocol to its listener, local echo and
# line editing forced off (1) so that every key goes to the shell as it is
# typed, UTF-8, a font with Japanese, and the title its prompt sets too, so
# that Tilewick lists the real titles at once. Written as a UTF-16 file,
# which regedit reads whatever the code page.
reg=$DEMO_DIR/sessions.reg
{
  printf '\xef\xbb\xbfWindows Registry Editor Version 5.00\r\n'
  for i in "${!hosts[@]}"; do
    printf '\r\n[HKEY_CURRENT_USER\\Software\\SimonTatham\\PuTTY\\Sessions\\%s]\r\n' "${hosts[$i]}"
    printf '"HostName"="127.0.0.1"\r\n"PortNumber"=dword:%08x\r\n"Protocol"="raw"\r\n' "${ports[$i]}"
    printf '"LocalEcho"=dword:00000001\r\n"LocalEdit"=dword:00000001\r\n'
    printf '"WinTitle"="%s"\r\n"WarnOnClose"=dword:00000000\r\n"CloseOnExit"=dword:00000001\r\n' "${titles[$i]}"
    printf '"LineCodePage"="UTF-8"\r\n"Font"="IPAGothic"\r\n"FontHeight"=dword:0000000c\r\n'
    printf '"FontCharSet"=dword:00000080\r\n"TermWidth"=dword:00000050\r\n"TermHeight"=dword:00000018\r\n'
  done
} | iconv -f UTF-8 -t UTF-16LE >"$reg" || die "cannot write the PuTTY sessions"
twk_wine wine regedit /S "Z:${reg//\//\\}" >/dev/null 2>&1 || die "cannot import the PuTTY sessions into Wine's registry"

# Tilewick opens the terminals itself: putty.exe and the group "prod" of all
# six sessions in its twk.ini (Alt+1), arranged as they come up.
win_putty="Z:${putty//\//\\}"
for user_dir in "$WINEPREFIX"/drive_c/users/*/; do
  [ "$(basename "$user_dir")" = Public ] && continue
  mkdir -p "$user_dir/Documents"
  printf '[PUTTY]\r\npath=%s\r\narrange=TRUE\r\n[GROUPS]\r\nprod=%s\r\n' "$win_putty" \
    "$(IFS=,; echo "${hosts[*]}")" >"$user_dir/Documents/twk.ini"
done

twk_wine wine "$REPO/$build/Tilewick.exe" >/dev/null 2>&1 &
tilewick_pid=$!
for _ in $(seq 1 600); do
  xwininfo -display "$TWK_DISPLAY" -root -tree 2>/dev/null | grep -q '"Tilewick"' && break
  kill -0 $tilewick_pid 2>/dev/null || die "Tilewick.exe ended at once"
  sleep 0.1
done

if [ $interactive = 1 ]; then
  trap - EXIT INT TERM HUP
  say "Tilewick is running on $TWK_DISPLAY, with six saved PuTTY sessions (${hosts[*]}) in the group \"prod\"."
  say "Try: Alt+1 (open the group, tiled), then type in Tilewick's command field; Alt+N lists the sessions."
  say "Stop everything with: bash $REPO/scripts/demo.sh stop"
  exit 0
fi

# --- The tour -------------------------------------------------------------------

mkdir -p "$TWK_SHOT_DIR"
rm -f "$TWK_SHOT_DIR"/demo-*.png
host_dirs=()
for host in "${hosts[@]}"; do host_dirs+=("$scratch/$host"); done
export TWK_E2E_TIMEOUT_SCALE=${TWK_E2E_TIMEOUT_SCALE:-2}
twk_wine timeout 300 wine "$tour" "$filter" "${host_dirs[@]}"
rc=$?
[ $rc = 124 ] && die "the tour did not finish within 300 s"
[ $rc = 0 ] || die "the tour failed (exit $rc)"
say "tour done; screenshots in $TWK_SHOT_DIR"
