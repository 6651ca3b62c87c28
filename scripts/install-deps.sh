#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing Quillon need and
# that the machine lacks. Runs apt-get as root, or through sudo. With
# QUILLON_WINDOWS=1 it also fetches the source of the XML reader (pugixml)
# from Debian into build-deps/pugixml, which the Windows build compiles in.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  qt6-base-dev qt6-multimedia-dev libgl-dev fonts-liberation
  xvfb xauth socat trayer
  libedit-dev libpugixml-dev desktop-file-utils appstream dpkg-dev file
)
if [ "${QUILLON_WINDOWS:-0}" = 1 ]; then
  packages+=(g++-mingw-w64-x86-64-posix wine wine64 fonts-wine nsis)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# pugixml's source for the Windows build, as Debian ships it.
if [ "${QUILLON_WINDOWS:-0}" = 1 ] && [ ! -e "$root/build-deps/pugixml/src/pugixml.cpp" ]; then
  sources=/etc/apt/sources.list.d/quillon-deb-src.sources
  if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ &&
     ! grep -qs '^deb-src' /etc/apt/sources.list; then
    printf '%s\n' 'Types: deb-src' 'URIs: http://deb.debian.org/debian' 'Suites: bookworm' \
      'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' |
      $sudo tee "$sources" >/dev/null
    $sudo apt-get update -q
  fi
  download=$(mktemp -d)
  chmod 755 "$download" # apt fetches as its own user
  (cd "$download" && apt-get source --download-only -q pugixml)
  rm -rf "$root/build-deps/pugixml"
  mkdir -p "$root/build-deps"
  # apt-get checked the files against the signed archive already.
  dpkg-source --no-check -x "$download"/pugixml_*.dsc "$root/build-deps/pugixml" >/dev/null
  rm -rf "$download"
fi
