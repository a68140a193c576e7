#!/usr/bin/env bash
# Runs the ctest label "gui" of a Windows build folder in a Wine session of
# its own on the current display, and ends the session afterwards (before
# the display goes). Wine draws its windows itself here (X11 driver
# "Managed"="N"), with the Windows title bar and without waiting for a
# window manager that is not there. Started by gui-step.sh.
#
#   tests/win32/gui-session.sh BUILD [ctest arguments...]
set -euo pipefail
build=$1
shift
trap 'wineserver -k 2>/dev/null || true' EXIT
# Service processes must not hold ctest's output pipe open.
wineserver -p
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
cd "$build"
ctest -L gui --output-on-failure "$@"
