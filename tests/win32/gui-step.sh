#!/usr/bin/env bash
# The GUI step of the Windows tests: the ctest label "gui" of a Windows build
# folder, run under Wine on one virtual X display. Screenshots land in
# BUILD/screenshots.
#
#   tests/win32/gui-step.sh BUILD [ctest arguments...]
#
# WINEPREFIX must name the prefix of the run. The Wine session of the other
# tests is ended first: Wine's desktop process keeps the display it started
# with, so this step has a session of its own, started on its display
# (gui-session.sh). Japanese needs a ja_JP.UTF-8 locale, generated into
# BUILD/locale (package locales), and a CJK font (fonts-ipafont-gothic).
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
here=$(cd "$(dirname "$0")" && pwd)
exec "$here/../gui/with-xvfb.sh" "$here/gui-session.sh" "$build" "$@"
