#!/usr/bin/env bash
# Runs the pipe smoke controller, which starts quillon.exe, and takes a
# screenshot of the display while the window shows layout A. The controller
# bounds its own run; its exit code is the result.
#   run-smoke.sh WINE CONTROLLER.exe QUILLON.exe OUTDIR
# Needs DISPLAY (Xvfb) and a running wineserver for the prefix.
set -uo pipefail
wine=$1 controller=$2 program=$3 out=$4
rm -rf "$out"
mkdir -p "$out"

"$wine" "$controller" "$(winepath -w "$program")" "$(winepath -w "$out")" &
runner=$!
while kill -0 "$runner" 2>/dev/null && [ ! -e "$out/ready" ]; do sleep 0.1; done
if [ -e "$out/ready" ]; then
  sleep 0.5
  import -display "$DISPLAY" -window root "$out/quillon-layoutA.png" \
    || echo "no screenshot: import failed"
  touch "$out/continue"
fi
wait "$runner"
