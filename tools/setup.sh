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
      libclang-rt-14-dev python3 dpkg-dev x11-utils xdotool python3-pil fonts-dejavu-extra libbenchmark-dev git
      fonts-wine locales)
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

# The program's users have a Russian Windows: Wine runs our programs under
# ru_RU.UTF-8 (code page 1251, tools/wine-env); one test run takes en_US.UTF-8
# (code page 1252). Both locales are generated once.
need_locales=()
for l in ru_RU en_US; do
  locale -a 2>/dev/null | grep -qix "$l.utf-\?8" || need_locales+=("$l")
done
if [ ${#need_locales[@]} -gt 0 ]; then
  echo "setup: generating the locales ${need_locales[*]/%/.UTF-8}"
  for l in "${need_locales[@]}"; do
    if grep -q "^# *$l.UTF-8 UTF-8" /etc/locale.gen; then
      $SUDO sed -i "s/^# *\($l.UTF-8 UTF-8\)/\1/" /etc/locale.gen
    elif ! grep -q "^$l.UTF-8 UTF-8" /etc/locale.gen; then
      echo "$l.UTF-8 UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
    fi
  done
  $SUDO locale-gen >/dev/null
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

# Wine's own twins of Windows' faces (fonts-wine: the raster "MS Sans Serif"
# for each code page, Tahoma, Marlett for the caption buttons' glyphs) are
# only used from the prefix's C:\windows\Fonts, never from where Debian
# installs them. Every prefix of the project gets them: this one and the
# copies made from it (journeys, benchmark, idle comparison, DPI scales),
# also copies made before this check existed. Only what differs is copied,
# so a ready machine costs a comparison of a few files per prefix.
wine_fonts=/usr/share/wine/fonts
for prefix in "$root"/build/wineprefix*/; do
  prefix=${prefix%/}
  # A prefix still being made or copied is done by the next set-up.
  [ -f "$prefix/system.reg" ] && [ -f "$prefix/user.reg" ] || continue
  dest="$prefix/drive_c/windows/Fonts"
  mkdir -p "$dest"
  for f in "$wine_fonts"/*; do
    cmp -s "$f" "$dest/${f##*/}" || cp "$f" "$dest/"
  done
  # An older set-up mapped "MS Sans Serif" to DejaVu Sans Condensed; with
  # the real face installed the mapping would hide it.
  if awk '/^\[/ { in_key = index($0, "[Software\\\\Wine\\\\Fonts\\\\Replacements]") == 1 }
           in_key && /^"MS Sans Serif"=/ { found = 1 } END { exit !found }' "$prefix/user.reg"; then
    echo "setup: removing the MS Sans Serif stand-in from ${prefix##*/}"
    ZELVANE_WINEPREFIX="$prefix" bash -c '. "$1/tools/wine-env"
      wine reg delete "HKCU\Software\Wine\Fonts\Replacements" /v "MS Sans Serif" /f >/dev/null 2>&1
      wineserver -w' _ "$root"
  fi
  rm -f "$prefix/.zelvane-fonts"
done
