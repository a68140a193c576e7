#!/usr/bin/env bash
# Saving through the program's save dialog keeps what the user's list of
# recently used files held (GTK adds the saved file to it; switched off
# through GtkSettings, GTK 3 would write the list anew, empty).
#
#   recent_files.sh PROGRAM [ARGS...]   (a save dialog titled "Save As")
#
# Runs on the current X display, with a home folder of its own whose list
# holds one file already.
set -uo pipefail
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
list="$home/.local/share/recently-used.xbel"
mkdir -p "$home/.local/share" "$home/run"
now=$(date -u +%Y-%m-%dT%H:%M:%S.000000Z)
: >"$home/letter.odt"
cat >"$list" <<XBEL
<?xml version="1.0" encoding="UTF-8"?>
<xbel version="1.0"
      xmlns:bookmark="http://www.freedesktop.org/standards/desktop-bookmarks"
      xmlns:mime="http://www.freedesktop.org/standards/shared-mime-info"
>
  <bookmark href="file://$home/letter.odt" added="$now" modified="$now" visited="$now">
    <info>
      <metadata owner="http://freedesktop.org">
        <mime:mime-type type="application/vnd.oasis.opendocument.text"/>
        <bookmark:applications>
          <bookmark:application name="writer" exec="&apos;writer %u&apos;" modified="$now" count="1"/>
        </bookmark:applications>
      </metadata>
    </info>
  </bookmark>
</xbel>
XBEL
# Return saves under the suggested name.
HOME="$home" "$(dirname "$0")/screenshot.sh" --title "Save As" --out "$home/save.png" --key Return \
  --workdir "$home/run" -- "$@" || exit 1
if ! grep -q "href=\"file://$home/letter.odt\"" "$list"; then
  echo "FAIL: the save dialog lost the user's recently used files:" >&2
  cat "$list" >&2
  exit 1
fi
echo "the list of recently used files keeps what it held"
