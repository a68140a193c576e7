#!/usr/bin/env bash
# Runs a command on the display that the Wine session of the GUI step uses
# (scripts/test-windows starts one virtual display for all of them: Wine's
# desktop process stays on the display it started with, so every program of
# one Wine session must use that one). Skips (77) without a display.
if [ -z "${DISPLAY:-}" ]; then
  echo "SKIP: no display; the Windows GUI checks run in the GUI step of scripts/test-windows"
  exit 77
fi
# A check made for one scale runs only in a session at that scale.
if [ -n "${KORAL70_EXPECT_DPI:-}" ] && [ "$KORAL70_EXPECT_DPI" != "${KORAL70_WINE_DPI:-96}" ]; then
  echo "SKIP: made for ${KORAL70_EXPECT_DPI} DPI; this Wine session draws at ${KORAL70_WINE_DPI:-96}"
  exit 77
fi
exec "$@"
