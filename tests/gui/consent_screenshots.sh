#!/usr/bin/env bash
# Screenshots of the consent on a desktop without a browser, on the current
# X display (run it through with-xvfb.sh): the message that names the saved
# page and says that Accept takes it, then the dialog with Accept available.
# The reference server serves its own policy pages; nothing on the
# program's PATH can open the page.
#
#   consent_screenshots.sh --server KORAL70-SERVER --preview REGISTER_PREVIEW
#                          --out-dir DIR --suffix NAME [--lang LANG]
set -uo pipefail

server="" preview="" outdir="" suffix="" lang="C.UTF-8"
while [ $# -gt 0 ]; do
  case "$1" in
    --server) server="$2"; shift 2 ;;
    --preview) preview="$2"; shift 2 ;;
    --out-dir) outdir="$2"; shift 2 ;;
    --suffix) suffix="$2"; shift 2 ;;
    --lang) lang="$2"; shift 2 ;;
    *) echo "consent_screenshots.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
for tool in xdotool import; do
  command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
pids=()
finish() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT
fail() {
  echo "FAIL: $*" >&2
  [ -f "$work/preview.log" ] && { echo "--- preview output ---" >&2; cat "$work/preview.log" >&2; }
  exit 1
}
mkdir -p "$outdir" "$work/data" "$work/bin" "$work/tmp"
if command -v openbox >/dev/null 2>&1; then
  openbox > "$work/openbox.log" 2>&1 &
  pids+=($!)
  sleep 1
fi
"$server" --data "$work/data" --port 0 > "$work/server.log" 2>&1 &
pids+=($!)
port=""
for _ in $(seq 50); do
  port=$(sed -n '1s/^PORT //p' "$work/server.log")
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || fail "the reference server did not start"

# An empty folder is the whole PATH: no xdg-open.
env -u LC_ALL -u LC_MESSAGES -u KORAL70_UI LANG="$lang" PATH="$work/bin" TMPDIR="$work/tmp" \
  XDG_RUNTIME_DIR="" KORAL70_POLICY_URL="http://127.0.0.1:$port" "$preview" consent-view \
  > "$work/preview.log" 2>&1 &
pid=$!
pids+=($pid)
windows() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null; }
wait_for_windows() {  # <count>
  for _ in $(seq 1 300); do
    [ "$(windows | wc -l)" -ge "$1" ] && return 0
    kill -0 "$pid" 2>/dev/null || fail "the preview ended early"
    sleep 0.1
  done
  fail "the preview did not show $1 window(s)"
}
press() {  # <key>: to the newest window
  local window
  window=$(windows | tail -n 1)
  xdotool windowfocus "$window" 2>/dev/null
  sleep 0.2
  xdotool key --clearmodifiers "$1"
}
shot() {
  sleep 1
  import -window root "$outdir/$1-$suffix.png" || fail "no screenshot $1"
  echo "screenshot: $outdir/$1-$suffix.png"
}

wait_for_windows 2
shot consent-no-browser
press Return
sleep 1
[ "$(windows | wc -l)" -eq 1 ] || fail "the message did not close"
shot consent-page-saved
press Escape
for _ in $(seq 1 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the consent dialog did not close"
echo "all screenshots taken"
