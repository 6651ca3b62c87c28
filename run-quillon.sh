#!/usr/bin/env bash
# Installs what the machine lacks, builds Quillon and starts it.
#
# Quillon connects to the controlling program's Unix socket at
# $QUILLON_PIPE, else $XDG_RUNTIME_DIR/track, else /tmp/track, and tries
# again every second until something listens there.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target quillon -j2

if [ -n "${QUILLON_PIPE:-}" ]; then
  socket=$QUILLON_PIPE
elif [ -n "${XDG_RUNTIME_DIR:-}" ]; then
  socket=$XDG_RUNTIME_DIR/track
else
  socket=/tmp/track
fi
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display: Quillon runs without a window; controllers can still connect."
  export QT_QPA_PLATFORM=offscreen
fi
echo "Quillon connects to the controller's socket at $socket (Control+C here ends it)."
exec build/src/backends/qt/quillon "$@"
