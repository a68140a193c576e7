#!/usr/bin/env bash
# Screenshots of the client's main window through an update, on the current
# X display (run it through with-xvfb.sh): a slow update with its speed and
# time left, the summary at its end, the question when the window is closed
# during an update (Return answers its default, No), a card whose owner is
# not registered yet, the consent (register_preview) without a browser, and
# a write-protected card. The reference server serves
# two files of 8 MiB at 2 MiB a second; the card is a fresh folder that
# holds the release's client. With openbox installed the windows have a
# window manager.
#
#   update_screenshots.sh --server KORAL70-SERVER --client KORAL70
#                         --preview REGISTER_PREVIEW --out-dir DIR
#                         --suffix NAME [--lang LANG]
set -uo pipefail

server="" client="" preview="" outdir="" suffix="" lang="C.UTF-8"
while [ $# -gt 0 ]; do
  case "$1" in
    --server) server="$2"; shift 2 ;;
    --client) client="$2"; shift 2 ;;
    --preview) preview="$2"; shift 2 ;;
    --out-dir) outdir="$2"; shift 2 ;;
    --suffix) suffix="$2"; shift 2 ;;
    --lang) lang="$2"; shift 2 ;;
    *) echo "update_screenshots.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
for tool in xdotool import unshare; do
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
  [ -f "$work/client.log" ] && { echo "--- client output ---" >&2; cat "$work/client.log" >&2; }
  exit 1
}
mkdir -p "$outdir"
# A window manager, when there is one, stacks the boxes above the window and
# gives the windows their title bars, as a user sees them.
if command -v openbox >/dev/null 2>&1; then
  openbox > "$work/openbox.log" 2>&1 &
  pids+=($!)
  sleep 1
fi

# The release: this client (so that it does not hand itself over) and two
# files that take a few seconds each.
data="$work/data" card="$work/card"
mkdir -p "$data/release/files/Support/updater" "$data/release/files/Data" "$card/logs"
printf 'K70000001 demo1234 L\nK70000002 demo1234 U\n' > "$data/accounts.txt"
cp "$client" "$data/release/files/Support/updater/koral70.exe"
head -c $((8 << 20)) /dev/urandom > "$data/release/files/Data/maps.bin"
head -c $((8 << 20)) /dev/urandom > "$data/release/files/Data/models.bin"
printf '3.4.0 0 Support\\updater\\koral70.exe\n2024.05 0 Data\\maps.bin\n2024.05 0 Data\\models.bin\n' \
  > "$data/release/list.txt"
"$server" --data "$data" --port 0 --fault "/script/get.php:slow" > "$work/server.log" 2>&1 &
pids+=($!)
port=""
for _ in $(seq 50); do
  port=$(sed -n '1s/^PORT //p' "$work/server.log")
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || fail "the reference server did not start"
printf 'serial=K70000001\npass=demo1234\n' > "$card/pass.ini"
# The card holds the release's client already: only the two files are slow.
mkdir -p "$card/Support/updater"
cp "$client" "$card/Support/updater/koral70.exe"
printf 'scan 2024-05-02 KR-100 ok\n' > "$card/logs/session.log"
cp "$client" "$card/koral70.exe"
export KORAL70_UPDATE_URL="http://127.0.0.1:$port" KORAL70_POLICY_URL="http://127.0.0.1:$port"

# The client's windows: the main window first, then any box it shows.
windows() { xdotool search --onlyvisible --pid "$1" 2>/dev/null; }
wait_for_windows() {  # <pid> <count>
  for _ in $(seq 1 300); do
    [ "$(windows "$1" | wc -l)" -ge "$2" ] && return 0
    kill -0 "$1" 2>/dev/null || fail "the client ended early"
    sleep 0.1
  done
  fail "the client did not show $2 window(s)"
}
press() {  # <pid> <key>: to the client's newest window
  local window
  window=$(windows "$1" | tail -n 1)
  xdotool windowfocus "$window" 2>/dev/null
  sleep 0.2
  xdotool key --clearmodifiers "$2"
}
shot() {
  sleep "${2:-0.5}"
  import -window root "$outdir/$1-$suffix.png" || fail "no screenshot $1"
  echo "screenshot: $outdir/$1-$suffix.png"
}
wait_end() {  # <pid> <expected exit code>
  for _ in $(seq 1 300); do
    kill -0 "$1" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$1" 2>/dev/null && fail "the client did not end"
  wait "$1"
  local code=$?
  [ "$code" -eq "$2" ] || fail "the client ended with $code, expected $2"
}
start() {  # [args...]: the client from the card, in the display language
  (cd "$card" && exec env -u LC_ALL -u LC_MESSAGES -u KORAL70_UI LANG="$lang" ./koral70.exe "$@") \
    > "$work/client.log" 2>&1 &
  client_pid=$!
  pids+=($client_pid)
}

# A slow update: its count line gives the megabytes, the speed and the time
# left; at its end the status log sums it up behind "Update complete".
start
wait_for_windows "$client_pid" 1
sleep 1
press "$client_pid" Return
shot update-progress 4
wait_for_windows "$client_pid" 2
shot update-summary 1
press "$client_pid" Return

# Closing the window during an update asks first. Return answers No, the
# default, and the update goes on; yes stops it.
rm -f "$card/Data/maps.bin" "$card/Data/models.bin"
sleep 0.5
press "$client_pid" Return
sleep 2
press "$client_pid" Escape
wait_for_windows "$client_pid" 2
shot update-stop-question 1
press "$client_pid" Return
sleep 1
kill -0 "$client_pid" 2>/dev/null || fail "Return in the stop question stopped the update"
[ "$(windows "$client_pid" | wc -l)" -eq 1 ] || fail "Return did not answer the stop question"
press "$client_pid" Escape
wait_for_windows "$client_pid" 2
press "$client_pid" Tab  # from No to Yes
press "$client_pid" Return
wait_end "$client_pid" 0

# An owner not registered yet; a /b run ends with 2.
printf 'serial=K70000002\npass=demo1234\n' > "$card/pass.ini"
start /b
wait_for_windows "$client_pid" 2
shot update-not-registered 1
press "$client_pid" Return
wait_end "$client_pid" 2
printf 'serial=K70000001\npass=demo1234\n' > "$card/pass.ini"

# The consent with an empty folder as PATH: no browser.
mkdir -p "$work/nobrowser" "$work/tmp"
(exec env -u LC_ALL -u LC_MESSAGES LANG="$lang" PATH="$work/nobrowser" TMPDIR="$work/tmp" XDG_RUNTIME_DIR="" \
  "$preview" consent-view) > "$work/client.log" 2>&1 &
client_pid=$!
pids+=($client_pid)
wait_for_windows "$client_pid" 2
shot consent-no-browser 1
press "$client_pid" Return
shot consent-page-saved 1
press "$client_pid" Escape
wait_end "$client_pid" 0

# A write-protected card is told before anything is fetched.
readonly_card="mount --bind \"\$0\" \"\$0\" && mount -o remount,bind,ro \"\$0\" && cd \"\$0\" && exec env -u LC_ALL -u LC_MESSAGES -u KORAL70_UI LANG=\"\$1\" ./koral70.exe /b"
unshare -m true 2>/dev/null || { echo "SKIP: the write-protected card needs unshare -m (root)"; exit 0; }
(exec unshare -m sh -c "$readonly_card" "$card" "$lang") > "$work/client.log" 2>&1 &
client_pid=$!
pids+=($client_pid)
wait_for_windows "$client_pid" 2
shot update-write-protected 1
press "$client_pid" Return
wait_end "$client_pid" 3
echo "all screenshots taken"
