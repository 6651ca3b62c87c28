#!/usr/bin/env bash
# Cross-builds the Windows programs, their tests and the installer in
# build-win/ with MinGW-w64 and runs them under Wine: the core's tests, the
# named-pipe link's tests, the Win32 backend's tests, the pipe smoke test and
# report latency of quillon.exe, the examples in quillon-headless.exe and
# quillon-ctl.exe; then the event log of a scenario against the Linux
# program's, quillon-ctl.exe serve driving quillon.exe, and the installer
# installing and uninstalling silently. Wine runs on a temporary prefix and
# a private Xvfb display, both removed at the end.
#   scripts/test-windows.sh [CTEST_ARGS...]   e.g. -R 'MainWindowTest|PipeSmoke'
# QUILLON_TARGETS="quillon quillon_win32_tests" builds only those targets.
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLON_WINDOWS=1 scripts/install-deps.sh

build=build-win
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DQUILLON_BENCH=OFF -DQUILLON_PUGIXML_SOURCE="$PWD/build-deps/pugixml"
targets=()
for target in ${QUILLON_TARGETS:-}; do targets+=(--target "$target"); done
cmake --build "$build" -j2 "${targets[@]}"

# The zip of quillon.exe and its README.
if [ -e "$build/src/backends/win32/quillon.exe" ]; then
  (cd "$build" && cpack -G ZIP)
fi

# Imports of the programs: system DLLs only.
quillon_exe=$build/src/backends/win32/quillon.exe
headless_exe=$build/src/backends/headless/quillon-headless.exe
ctl_exe=$build/tools/quillon-ctl.exe
for program in "$quillon_exe" "$headless_exe" "$ctl_exe"; do
  [ -e "$program" ] || continue
  name=$(basename "$program")
  imports=$(x86_64-w64-mingw32-objdump -p "$program" | sed -n 's/^\s*DLL Name: //p')
  echo "$name imports:" $imports
  for dll in $imports; do
    case "${dll,,}" in
      kernel32.dll|user32.dll|gdi32.dll|shell32.dll|comdlg32.dll|winmm.dll|msvcrt.dll|advapi32.dll) ;;
      *) echo "$name imports a DLL that is not the system's: $dll" >&2; exit 1 ;;
    esac
  done
done

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

# An initialised prefix and a persistent server first, or tests crawl or
# hang. The prefix is made by wineboot itself (a server started on an empty
# directory ends up with two service managers, and the RPC service never
# starts); its server is then replaced by a persistent one.
wineboot -i >/dev/null 2>&1
wineserver -k
wineserver -p
wineboot >/dev/null 2>&1
# Every window in a virtual desktop of the display's size: without a window
# manager on the bare display, Wine waits for one at each show and hide.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
# Kept open for the whole run, so that each test need not start it.
wine explorer /desktop=Default,1024x768 >/dev/null 2>&1 &
if command -v xwininfo >/dev/null; then
  for _ in $(seq 100); do
    xwininfo -root -tree 2>/dev/null | grep -q '"Default - Wine desktop"' && break
    sleep 0.1
  done
else
  sleep 3
fi

ctest --test-dir "$build" --output-on-failure --timeout 120 -j2 "$@"
# With a selection of tests, only those.
[ $# -eq 0 ] || exit 0
[ -e "$quillon_exe" ] && [ -e "$headless_exe" ] && [ -e "$ctl_exe" ] || exit 0
scripts/windows-checks.sh "$build" "$work"
