#!/bin/sh
# Runs a command on the current X display with the tray program trayer
# beside it, and stops trayer afterwards.
trayer --edge top --align right --widthtype request --height 24 --transparent false \
  >/dev/null 2>&1 &
tray=$!
"$@"
status=$?
kill "$tray" 2>/dev/null
wait "$tray" 2>/dev/null
exit "$status"
