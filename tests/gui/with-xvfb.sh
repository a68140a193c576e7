#!/usr/bin/env bash
# Runs a command on a fresh virtual X display (1024x768, 24 bits) and returns
# its exit code; skips (exit 77) when xvfb-run is not installed. The command
# starts once the display answers (up to 10 s): on a loaded machine a client
# that connects at once can find the new server not yet listening.
set -euo pipefail
if ! command -v xvfb-run >/dev/null 2>&1; then
  echo "SKIP: xvfb-run is not installed (Debian package xvfb); GUI check not run"
  exit 77
fi
exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash -c '
  if command -v xdotool >/dev/null 2>&1; then
    for _ in $(seq 100); do
      xdotool getdisplaygeometry >/dev/null 2>&1 && break
      sleep 0.1
    done
  fi
  exec "$@"' with-xvfb "$@"
