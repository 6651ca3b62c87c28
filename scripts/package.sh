#!/usr/bin/env bash
# Builds the Debian package in build/ and checks what it installs: the
# desktop entry and the AppStream metainfo validated, a man page for each
# program and one for the layout files. Prints the package's name, size and dependencies.
#   scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

build=build
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" -j2
(cd "$build" && cpack -G DEB)
package=$(ls "$build"/quillon_*.deb)

staging=$(mktemp -d /tmp/quillon-package.XXXXXX)
trap 'rm -rf "$staging"' EXIT
dpkg-deb -x "$package" "$staging"
desktop-file-validate "$staging"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$staging"/usr/share/metainfo/*.metainfo.xml
for program in "$staging"/usr/bin/*; do
  page="$staging/usr/share/man/man1/$(basename "$program").1"
  [ -f "$page" ] || { echo "no man page for $(basename "$program")" >&2; exit 1; }
done
[ -f "$staging"/usr/share/man/man5/quillon-layout.5 ] ||
  { echo "no man page for layout files" >&2; exit 1; }
[ -f "$staging"/usr/share/icons/hicolor/256x256/apps/quillon.png ] ||
  { echo "no theme icon" >&2; exit 1; }

echo "$package: $(stat -c %s "$package") bytes"
dpkg-deb -f "$package" Depends
