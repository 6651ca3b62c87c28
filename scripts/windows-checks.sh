#!/usr/bin/env bash
# The Windows programs as their users meet them, on the Wine prefix and
# display that scripts/test-windows.sh made, after its ctest run (whose
# report latency figures it prints): each example scenario's event
# log from quillon-headless.exe against the Linux program's, quillon-ctl.exe
# serve driving quillon.exe over a pipe, and the installer installing and
# uninstalling silently without leaving anything behind.
#   scripts/windows-checks.sh BUILD_WIN WORK_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1 work=$2
quillon_exe=$build/src/backends/win32/quillon.exe
headless_exe=$build/src/backends/headless/quillon-headless.exe
ctl_exe=$build/tools/quillon-ctl.exe
smoke_exe=$build/tests/backends/win32/quillon_pipe_smoke.exe
fail() { echo "FAILED: $*" >&2; exit 1; }

# The report latency that ctest's run measured, for people to read.
grep -h 'report latency' "$build"/Testing/Temporary/LastTest*.log 2>/dev/null || true

# 1. The same scenario, the same event log, byte for byte.
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j2 --target quillon-headless >/dev/null
for scenario in examples/*.scenario; do
  name=$(basename "$scenario" .scenario)
  build/src/backends/headless/quillon-headless --scenario "$scenario" --log "$work/$name.linux.log" ||
    fail "the Linux program's run of $scenario"
  wine "$headless_exe" --scenario "$scenario" --log "$work/$name.windows.log" ||
    fail "quillon-headless.exe's run of $scenario"
  cmp "$work/$name.linux.log" "$work/$name.windows.log" ||
    fail "the event logs of $scenario differ"
  echo "ok: $scenario gives the same event log ($(wc -l <"$work/$name.linux.log") events)"
done

# 2. quillon-ctl.exe serve drives quillon.exe and quillon-headless.exe: a
# switch, then a report.
serve_drives() {
  local program=$1 pipe=quillon-ctl-check-$$ status=0 simulator
  printf 'switch 1 curved\nreport\nquit\n' >"$work/statements"
  : >"$work/serve.err"
  wine "$ctl_exe" serve --socket "$pipe" --json <"$work/statements" >"$work/serve.out" \
    2>"$work/serve.err" &
  local serve=$!
  for _ in $(seq 50); do grep -q 'waiting for Quillon' "$work/serve.err" && break; sleep 0.1; done
  wine "$program" --socket "$pipe" >/dev/null &
  simulator=$!
  wait "$serve" || status=$?
  wine taskkill /f /im "$(basename "$program")" >/dev/null 2>&1 || true
  wait "$simulator" 2>/dev/null || true
  [ "$status" -eq 0 ] ||
    { cat "$work/serve.err" >&2; fail "quillon-ctl.exe serve ended with $status"; }
  grep -q '^{"sensors":\[' "$work/serve.out" || fail "quillon-ctl.exe serve printed no report"
  echo "ok: quillon-ctl.exe serve drove $(basename "$program") over \\\\.\\pipe\\$pipe"
}
serve_drives "$quillon_exe"
serve_drives "$headless_exe"

# 3. The installer, silently into a chosen folder, and the uninstaller.
setup=$(ls "$build"/quillon-*-setup.exe)
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillon'
folder='C:\Quillon-test'
installed=$(winepath -u "$folder")
menu=$(winepath -u 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs')/Quillon.lnk
wine "$setup" /S "/D=$folder" || fail "the installer ended with $?"
for file in quillon.exe quillon-headless.exe quillon-ctl.exe README.md uninstall.exe; do
  [ -f "$installed/$file" ] || fail "the installer did not install $file"
done
[ -f "$menu" ] || fail "no Start menu entry"
wine reg query "$key" /v UninstallString >/dev/null 2>&1 || fail "no uninstall entry in $key"
echo "ok: installed in $folder with a Start menu entry and an uninstall entry"
wine "$installed/quillon-headless.exe" --version | grep -q '^quillon-headless ' ||
  fail "the installed quillon-headless.exe does not start"
tests/backends/win32/smoke/run-smoke.sh wine "$smoke_exe" "$installed/quillon.exe" \
  "$work/smoke-installed" >"$work/smoke-installed.log" 2>&1 ||
  { cat "$work/smoke-installed.log" >&2; fail "the installed quillon.exe does not run"; }
echo "ok: the installed programs start"
wine "$installed/uninstall.exe" /S || fail "the uninstaller ended with $?"
# The uninstaller works from a copy of itself and returns at once.
for _ in $(seq 300); do [ -e "$installed" ] || break; sleep 0.1; done
[ ! -e "$installed" ] || { ls -la "$installed" >&2; fail "the uninstaller left $folder"; }
[ ! -e "$menu" ] || fail "the uninstaller left the Start menu entry"
if wine reg query "$key" >/dev/null 2>&1; then fail "the uninstaller left $key"; fi
echo "ok: the uninstaller removed everything it installed"
