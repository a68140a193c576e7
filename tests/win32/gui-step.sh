#!/usr/bin/env bash
# The GUI step of the Windows tests: the ctest label "gui" of a Windows build
# folder, run under Wine on one virtual X display. Screenshots land in
# BUILD/screenshots.
#
#   tests/win32/gui-step.sh BUILD [ctest arguments...]
#
# WINEPREFIX must name the prefix of the run. The Wine session of the other
# tests is ended first: Wine's desktop process keeps the display it started
# with, so this step has a session of its own, started on its display. Wine
# draws its windows itself here (X11 driver "Managed"="N"), with the Windows
# title bar and without waiting for a window manager that is not there.
# Japanese needs a ja_JP.UTF-8 locale, generated into BUILD/locale (package
# locales), and a CJK font (fonts-ipafont-gothic).
set -euo pipefail
build=$(cd "$1" && pwd)
shift
[ -n "${WINEPREFIX:-}" ] || { echo "gui-step.sh: WINEPREFIX is not set" >&2; exit 2; }

if [ ! -d "$build/locale/ja_JP.UTF-8" ]; then
  mkdir -p "$build/locale"
  localedef -i ja_JP -f UTF-8 "$build/locale/ja_JP.UTF-8"
fi
export LOCPATH="$build/locale"

wineserver -k 2>/dev/null || true
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
xvfb=$!
finish() {
  wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  rm -f "$display_file"
}
trap finish EXIT
for _ in $(seq 100); do
  [ -s "$display_file" ] && break
  sleep 0.1
done
[ -s "$display_file" ] || { echo "gui-step.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(cat "$display_file")"
unset XAUTHORITY

# Service processes must not hold ctest's output pipe open.
wineserver -p
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
cd "$build"
ctest -L gui --output-on-failure "$@"
