#!/usr/bin/env bash
# Runs the ctest label "gui" of a Windows build folder in a Wine session of
# its own on the current display, first at 96 DPI and then the checks made
# for 144 (label dpi144) at 144, and ends the session afterwards (before
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
# The scale Wine draws at: read by each program as it starts.
set_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
    </dev/null >/dev/null 2>&1
  export KORAL70_WINE_DPI=$1
}
cd "$build"
status=0
set_dpi 96
ctest -L gui -LE dpi144 --output-on-failure "$@" || status=1
set_dpi 144
ctest -L dpi144 --output-on-failure "$@" || status=1
set_dpi 96
exit $status
