#!/usr/bin/env bash
# Runs a command on a fresh virtual X display (1024x768, 24 bits) and returns
# its exit code; skips (exit 77) when xvfb-run is not installed.
set -euo pipefail
if ! command -v xvfb-run >/dev/null 2>&1; then
  echo "SKIP: xvfb-run is not installed (Debian package xvfb); GUI check not run"
  exit 77
fi
exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$@"
