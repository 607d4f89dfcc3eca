#!/usr/bin/env bash
# Builds the Windows PuTTY terminal (putty.exe only) that the end-to-end tests
# drive as a real terminal, from Debian's "putty" source package, cross-compiled
# for 32- or 64-bit Windows with MinGW-w64 and PuTTY's own CMake, statically
# linked.
#
# The result is cached outside the clone, so a second run only prints its path:
#   $TILEWICK_PUTTY_CACHE, else $XDG_CACHE_HOME/tilewick/putty,
#   else /var/cache/tilewick/putty (root) or ~/.cache/tilewick/putty,
# in <cache>/<debian version>/<arch>/putty.exe, each architecture apart.
#
# Prints the path of putty.exe on stdout (everything else goes to stderr) and
# exits 0; exits non-zero when it cannot be built.
#
#   --arch A    i686 (32-bit, the default) or x86_64 (64-bit)
#   --version   print the Debian version that would be built, and stop
#   --rebuild   build even when the cache already has it
# Environment: TILEWICK_PUTTY_JOBS (default 2) parallel build jobs.
set -euo pipefail

log() { echo "build-putty: $*" >&2; }
die() { log "$*"; exit 1; }

rebuild=0
only_version=0
arch=i686
while [ $# -gt 0 ]; do
  case "$1" in
    --rebuild) rebuild=1 ;;
    --version) only_version=1 ;;
    --arch)
      [ $# -ge 2 ] || die "--arch needs i686 or x86_64"
      arch=$2
      shift ;;
    *) die "unknown argument $1 (use --arch, --rebuild or --version)" ;;
  esac
  shift
done
case "$arch" in
  i686) processor=x86 ;;
  x86_64) processor=AMD64 ;;
  *) die "--arch must be i686 or x86_64, not '$arch'" ;;
esac
mingw=$arch-w64-mingw32

if [ -n "${TILEWICK_PUTTY_CACHE:-}" ]; then
  cache_root=$TILEWICK_PUTTY_CACHE
elif [ -n "${XDG_CACHE_HOME:-}" ]; then
  cache_root=$XDG_CACHE_HOME/tilewick/putty
elif [ "$(id -u)" -eq 0 ]; then
  cache_root=/var/cache/tilewick/putty
else
  cache_root=$HOME/.cache/tilewick/putty
fi
jobs=${TILEWICK_PUTTY_JOBS:-2}

# The candidate version of the binary package names the source version too.
candidate_version() {
  apt-cache policy putty 2>/dev/null | sed -n 's/^ *Candidate: *//p' | grep -v '(none)' | sed -n 1p
}

version=$(candidate_version || true)
if [ -z "$version" ]; then
  # No package lists yet (fresh machine): use what is cached, if anything.
  cached=$(ls -1d "$cache_root"/*/"$arch"/putty.exe 2>/dev/null | sort -V | tail -n 1 || true)
  if [ -n "$cached" ] && [ $rebuild = 0 ] && [ $only_version = 0 ]; then
    echo "$cached"
    exit 0
  fi
  [ "$(id -u)" -eq 0 ] || die "no package lists and not root: run apt-get update first"
  log "apt-get update (no package lists yet)"
  apt-get update -qq >&2 || true
  version=$(candidate_version || true)
  [ -n "$version" ] || die "apt knows no putty package"
fi
if [ $only_version = 1 ]; then
  echo "$version"
  exit 0
fi

out_dir=$cache_root/$version/$arch
exe=$out_dir/putty.exe
if [ -s "$exe" ] && [ $rebuild = 0 ]; then
  echo "$exe"
  exit 0
fi

for tool in "$mingw-gcc-posix" "$mingw-windres" cmake make tar patch; do
  command -v "$tool" >/dev/null || die "$tool is missing (scripts/install-deps.sh installs it)"
done

# ---- the source package ---------------------------------------------------------

# apt-get source needs deb-src entries. Mirror the deb entries of Debian's own
# sources file once; apt-get update is run only when apt cannot find the source.
src_list=/etc/apt/sources.list.d/tilewick-deb-src.sources
has_source() { # (no grep -q in a pipe: with pipefail its early exit fails the pipe)
  apt-cache showsrc putty 2>/dev/null | grep -c "^Version: $version\$" >/dev/null
}
if ! has_source; then
  [ "$(id -u)" -eq 0 ] || die "putty's source package is unknown to apt and we are not root"
  if [ ! -f "$src_list" ]; then
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      sed 's/^Types:.*$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$src_list"
    else
      # Plain one-line sources.list: turn its deb lines into deb-src lines.
      grep -h '^deb ' /etc/apt/sources.list 2>/dev/null | sed 's/^deb /deb-src /' \
        >"${src_list%.sources}.list"
      src_list=${src_list%.sources}.list
    fi
    log "added deb-src entries in $src_list"
  fi
  log "apt-get update (for the source package lists)"
  apt-get update -qq >&2 || true
  has_source || die "apt cannot find the source of putty $version"
fi

mkdir -p "$cache_root"
work=$(mktemp -d "$cache_root/work.XXXXXX")
trap 'rm -rf "$work"' EXIT

upstream=${version%-*}       # 0.78-2+deb12u2 -> 0.78
upstream=${upstream#*:}      # drop an epoch, if any
log "downloading the source of putty $version"
# The mirror has no signature for the upstream tarball, so apt-get reports a
# failure even when the files came: judge by the files, not the exit status.
(cd "$work" && apt-get source --download-only "putty=$version" >"$work/apt.log" 2>&1) || true
orig=$(ls -1 "$work"/putty_"$upstream".orig.tar.* 2>/dev/null | grep -v '\.asc$' | head -n 1 || true)
debian=$(ls -1 "$work"/putty_"${version#*:}".debian.tar.* 2>/dev/null | head -n 1 || true)
if [ -z "$orig" ] || [ -z "$debian" ]; then
  cat "$work/apt.log" >&2
  die "the source files did not arrive"
fi

# Unpack and apply Debian's patches (the security fixes of the stable release).
src=$work/src
mkdir -p "$src"
tar -xf "$orig" -C "$src" --strip-components=1
tar -xf "$debian" -C "$src"
if [ -f "$src/debian/patches/series" ]; then
  while read -r p _; do
    case "$p" in ''|'#'*) continue ;; esac
    patch -d "$src" -p1 -s -N <"$src/debian/patches/$p" >&2 || die "patch $p did not apply"
  done <"$src/debian/patches/series"
fi

# ---- the cross build ---------------------------------------------------------------

cat >"$work/toolchain.cmake" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR $processor)
set(CMAKE_C_COMPILER  $mingw-gcc-posix)
set(CMAKE_RC_COMPILER $mingw-windres)
set(CMAKE_AR          $mingw-ar)
set(CMAKE_RANLIB      $mingw-ranlib)
set(CMAKE_FIND_ROOT_PATH /usr/$mingw)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
add_compile_definitions(__USE_MINGW_ANSI_STDIO)
EOF

log "building $arch putty.exe (about a minute on 2 cores)"
started=$(date +%s)
cmake -S "$src" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
  -DCMAKE_BUILD_TYPE=Release >"$work/configure.log" 2>&1 ||
  { tail -n 40 "$work/configure.log" >&2; die "configure failed"; }
cmake --build "$work/build" --target putty -j"$jobs" >"$work/build.log" 2>&1 ||
  { tail -n 40 "$work/build.log" >&2; die "build failed"; }
[ -s "$work/build/putty.exe" ] || die "the build made no putty.exe"

mkdir -p "$out_dir"
cp "$work/build/putty.exe" "$out_dir/putty.exe.tmp"
mv -f "$out_dir/putty.exe.tmp" "$exe"
log "built in $(( $(date +%s) - started )) s"
echo "$exe"
