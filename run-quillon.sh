#!/usr/bin/env bash
# Installs what the machine lacks, builds Quillon and starts it.
#   ./run-quillon.sh [OPTION]...          Quillon waits for a controller
#   ./run-quillon.sh --demo [OPTION]...   three trains, driven by quillon-ctl demo
#
# Quillon connects to the controlling program's Unix socket at
# $QUILLON_PIPE, else $XDG_RUNTIME_DIR/track, else /tmp/track (or at the
# --socket path), and tries again every second until something listens there.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

demo=0
if [ "${1:-}" = "--demo" ]; then
  demo=1
  shift
fi

cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target quillon quillon-ctl -j2

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display: Quillon runs without a window; controllers can still connect."
  export QT_QPA_PLATFORM=offscreen
fi

if [ "$demo" = 1 ]; then
  # The demo listens on a socket of its own, so no other controller is
  # disturbed, and ends when Quillon does.
  folder=$(mktemp -d /tmp/quillon-demo.XXXXXX)
  places=(--place 12:A1 --place 24:B7 --place 57:D9)
  build/tools/quillon-ctl demo --socket "$folder/track" "${places[@]}" &
  demo_pid=$!
  trap 'kill "$demo_pid" 2>/dev/null || true; rm -rf "$folder"' EXIT
  echo "The demo drives three trains (Control+C here ends it)."
  build/src/backends/qt/quillon --socket "$folder/track" "${places[@]}" "$@"
  exit
fi

if [ -n "${QUILLON_PIPE:-}" ]; then
  socket=$QUILLON_PIPE
elif [ -n "${XDG_RUNTIME_DIR:-}" ]; then
  socket=$XDG_RUNTIME_DIR/track
else
  socket=/tmp/track
fi
echo "Quillon connects to the controller's socket at $socket (Control+C here ends it)."
exec build/src/backends/qt/quillon "$@"
