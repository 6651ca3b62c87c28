#!/usr/bin/env bash
# Runs the pipe smoke controller inside a Wine virtual desktop, lets it start
# quillon.exe, and takes a screenshot of the display while the window shows
# layout A.
#   run-smoke.sh WINE CONTROLLER.exe QUILLON.exe OUTDIR
# Needs DISPLAY (Xvfb) and a running wineserver for the prefix.
set -uo pipefail
wine=$1 controller=$2 program=$3 out=$4
rm -rf "$out"
mkdir -p "$out"

"$wine" explorer /desktop=quillon-smoke,1024x768 "$controller" --start "$program" \
  --pause "$out" --log "$out/controller.log" >/dev/null 2>&1 &
runner=$!

for _ in $(seq 300); do
  [ -e "$out/ready" ] && break
  kill -0 "$runner" 2>/dev/null || break
  sleep 0.1
done
if [ -e "$out/ready" ]; then
  sleep 0.5
  import -display "$DISPLAY" -window root "$out/quillon-layoutA.png" \
    || echo "no screenshot: import failed"
fi
touch "$out/continue"

# The controller ends within about 10 s; the virtual desktop may linger.
for _ in $(seq 300); do
  kill -0 "$runner" 2>/dev/null || break
  grep -q "PIPE SMOKE TEST" "$out/controller.log" 2>/dev/null && break
  sleep 0.1
done
sleep 1
kill "$runner" 2>/dev/null
wait "$runner" 2>/dev/null

cat "$out/controller.log" 2>/dev/null || echo "the controller left no log"
grep -q "PIPE SMOKE TEST PASSED" "$out/controller.log" 2>/dev/null
