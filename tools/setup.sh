#!/usr/bin/env bash
# Installs everything the build and the tests need, once. Idempotent: a second
# run on a ready machine only checks and returns within a second or two.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
deps="$root/build/deps"
mkdir -p "$deps"

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

need_pkgs=()
want=(g++-mingw-w64-i686 cmake make ninja-build wine wine32:i386 wine64 xvfb xauth
      imagemagick libjpeg62-turbo-dev libgtest-dev googletest clang
      libclang-rt-14-dev python3 dpkg-dev x11-utils xdotool python3-pil fonts-dejavu-extra libbenchmark-dev git)
for p in "${want[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    need_pkgs+=("$p")
  fi
done

if [ ${#need_pkgs[@]} -gt 0 ] || ! grep -rqs 'deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  echo "setup: installing ${need_pkgs[*]:-source index}"
  if ! dpkg --print-foreign-architectures | grep -q i386; then
    $SUDO dpkg --add-architecture i386
  fi
  if ! grep -rqs 'deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: bookworm\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
      | $SUDO tee /etc/apt/sources.list.d/zelvane-src.sources >/dev/null
  fi
  $SUDO apt-get update -qq
  if [ ${#need_pkgs[@]} -gt 0 ]; then
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need_pkgs[@]}" >/dev/null
  fi
fi

# libjpeg-turbo for MinGW, built from Debian's source package.
jpeg_prefix="$deps/libjpeg-mingw"
if [ ! -f "$jpeg_prefix/lib/libjpeg.a" ]; then
  echo "setup: building libjpeg-turbo for i686-w64-mingw32"
  src="$deps/src"
  mkdir -p "$src"
  ( cd "$src"
    if ! ls -d libjpeg-turbo-*/ >/dev/null 2>&1; then
      apt-get source --download-only libjpeg-turbo >/dev/null 2>&1 || apt-get source --download-only libjpeg-turbo
      tar xf libjpeg-turbo_*.orig.tar.gz
    fi )
  jsrc=$(ls -d "$src"/libjpeg-turbo-*/ | head -1)
  cmake -S "$jsrc" -B "$deps/libjpeg-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DWITH_SIMD=0 -DENABLE_SHARED=0 -DWITH_TURBOJPEG=0 \
    -DCMAKE_INSTALL_PREFIX="$jpeg_prefix" >/dev/null
  cmake --build "$deps/libjpeg-build" --target install >/dev/null
fi

# A Wine prefix of our own inside the build tree, with a virtual desktop that
# has a taskbar and a notification area.
. "$root/tools/wine-env"
if [ ! -f "$WINEPREFIX/.zelvane-ready" ]; then
  echo "setup: creating the Wine prefix"
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 1024x768 /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.zelvane-ready"
fi

# Wine has no "MS Sans Serif" with Cyrillic letters and falls back to the much
# wider DejaVu Sans, so texts laid out for MS Sans Serif would run into their
# neighbours. The condensed face has about the right widths. Only the prefix's
# font mapping changes; the program keeps asking for "MS Sans Serif".
if [ ! -f "$WINEPREFIX/.zelvane-fonts" ]; then
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS Sans Serif' /d 'DejaVu Sans Condensed' /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.zelvane-fonts"
fi
