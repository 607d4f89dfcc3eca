#!/usr/bin/env bash
# Installs what building and testing Tilewick needs on a Debian 12 machine.
# Idempotent: when everything is present it prints one line and does nothing.
set -euo pipefail

need_pkgs=(
  cmake g++ make googletest libbenchmark-dev
  libasan8 libubsan1  # the host tests' sanitizer run in scripts/test.sh
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine64  # 64-bit loader: the only one that runs where the kernel executes no 32-bit code
  locales  # ja_JP.UTF-8, so Wine's ANSI code page is 932 and Japanese arguments arrive whole
  xvfb x11-utils xdotool imagemagick
  socat iproute2  # scripts/demo.sh: shells behind loopback listeners, port checks
  fonts-ipafont-gothic fonts-wine
  fp-utils python3
  patch xz-utils  # scripts/build-putty.sh: unpack and patch Debian's putty source
)
need_i386=(wine wine32:i386)

# Wine's ANSI code page follows the locale: 932 only when ja_JP.UTF-8 exists,
# otherwise Japanese session names reach PuTTY mangled. Generated once.
ensure_ja_locale() {
  locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: ja_JP.UTF-8 is not generated and not root; generate it first" >&2
    return 1
  fi
  echo "install-deps: generating ja_JP.UTF-8"
  sed -i 's/^#[[:space:]]*\(ja_JP\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -qx 'ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen >/dev/null
}

missing=()
for p in "${need_pkgs[@]}" "${need_i386[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  ensure_ja_locale
  echo "install-deps: all packages present"
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing ${missing[*]} and not root; install them first" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
# The posix thread model gives std::thread and friends to the cross compiler.
update-alternatives --set i686-w64-mingw32-g++ /usr/bin/i686-w64-mingw32-g++-posix >/dev/null 2>&1 || true
update-alternatives --set i686-w64-mingw32-gcc /usr/bin/i686-w64-mingw32-gcc-posix >/dev/null 2>&1 || true
update-alternatives --set x86_64-w64-mingw32-g++ /usr/bin/x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || true
update-alternatives --set x86_64-w64-mingw32-gcc /usr/bin/x86_64-w64-mingw32-gcc-posix >/dev/null 2>&1 || true
ensure_ja_locale
echo "install-deps: done"
