#!/usr/bin/env bash
# Runs a command on a fresh virtual X display (1024x768, 24 bits, or the
# screen that KORAL70_XVFB_SCREEN names) and returns its exit code; skips
# (exit 77) when Xvfb is not installed.
#
# The server picks a free display itself (-displayfd: it takes the first
# number whose sockets it can bind, which no other server holds, not even one
# still going down), and the command starts once the server has written that
# number, that is once it accepts clients. Afterwards the server is stopped
# and waited for, so the next check never meets a display still in use.
#
# -noreset: by default the server resets itself whenever its last client
# leaves, and a client that connects during that reset is turned away. A
# check's own xdotool polls connect and leave while the program under test
# is still starting, so without it the program can fail to open the display.
set -uo pipefail
if ! command -v Xvfb >/dev/null 2>&1; then
  echo "SKIP: Xvfb is not installed (Debian package xvfb); GUI check not run"
  exit 77
fi
display_file=$(mktemp)
Xvfb -displayfd 3 -noreset -screen 0 "${KORAL70_XVFB_SCREEN:-1024x768x24}" -nolisten tcp 3>"$display_file" 2>/dev/null &
xvfb=$!
finish() {
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null
  rm -f "$display_file"
}
trap finish EXIT
for _ in $(seq 300); do
  [ -s "$display_file" ] && break
  kill -0 "$xvfb" 2>/dev/null || break
  sleep 0.1
done
[ -s "$display_file" ] || { echo "with-xvfb.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(cat "$display_file")"
# The server runs without access control for local clients: a cookie file of
# an earlier session must not be offered to it.
unset XAUTHORITY
"$@"
