#!/usr/bin/env bash
# Cross-builds the Windows program and its tests in build-win/ with MinGW-w64
# and runs them under Wine: the core's tests, the named-pipe link's tests,
# the Win32 backend's tests and the pipe smoke test of quillon.exe. Wine runs
# on a temporary prefix and a private Xvfb display, both removed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLON_WINDOWS=1 scripts/install-deps.sh

build=build-win
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DQUILLON_BENCH=OFF
cmake --build "$build" -j2

# Imports of the program: system DLLs only.
if [ -e "$build/src/platform/win32/quillon.exe" ]; then
  imports=$(x86_64-w64-mingw32-objdump -p "$build/src/platform/win32/quillon.exe" \
    | sed -n 's/^\s*DLL Name: //p')
  echo "quillon.exe imports:" $imports
  for dll in $imports; do
    case "${dll,,}" in
      kernel32.dll|user32.dll|gdi32.dll|shell32.dll|comdlg32.dll|winmm.dll|msvcrt.dll|advapi32.dll) ;;
      *) echo "quillon.exe imports a DLL that is not the system's: $dll" >&2; exit 1 ;;
    esac
  done
fi

work=$(mktemp -d /tmp/quillon-win.XXXXXX)
export WINEPREFIX="$work/prefix"
export WINEDEBUG=-all
# No Mono or Gecko installer on a fresh prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="
xvfb_pid=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# A private X display for windows, the tray and the clipboard.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

# A running server and an initialised prefix first, or tests crawl or hang.
mkdir -p "$WINEPREFIX"
wineserver -p
wineboot -i >/dev/null 2>&1

ctest --test-dir "$build" --output-on-failure --timeout 120 -j2
