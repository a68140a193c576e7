#!/usr/bin/env bash
# A screenshot of the Windows client under Wine in the middle of an update:
# the reference server (built for this machine) serves a demo release whose
# third download stalls half-way, the card is mapped as Wine drive K: with
# the demo's credentials and the client beside them, and the client runs
# with /b from K:. Esc during the update asks whether to stop it, Y answers
# yes (Enter would answer the default, No), and the client stops and
# reports exit status 1. Needs WINEPREFIX and a display.
#
#   update_screenshot.sh --server KORAL70-SERVER --client KORAL70.EXE
#                        --title TITLE --out FILE.png [--lang LANG]
set -euo pipefail

server="" client="" title="" out="" lang="en_US.UTF-8"
while [ $# -gt 0 ]; do
  case "$1" in
    --server) server="$2"; shift 2 ;;
    --client) client="$2"; shift 2 ;;
    --title) title="$2"; shift 2 ;;
    --out) out="$2"; shift 2 ;;
    --lang) lang="$2"; shift 2 ;;
    *) echo "update_screenshot.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
[ -x "$server" ] || { echo "SKIP: no reference server at '$server'"; exit 77; }
[ -n "${WINEPREFIX:-}" ] || { echo "FAIL: WINEPREFIX is not set" >&2; exit 1; }

work=$(mktemp -d)
drive="$WINEPREFIX/dosdevices/k:"
pid=""
finish() {
  [ -z "$pid" ] || { kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; } || true
  rm -f "$drive"
  rm -rf "$work"
}
trap finish EXIT

data="$work/data" card="$work/card"
"$server" --make-demo "$data" > /dev/null
# The release holds this very client, so that the update does not hand over
# to another one.
cp "$client" "$data/release/files/Support/updater/koral70.exe"
# The log exists before the server starts, so that reading it for the port
# cannot meet no file at all.
: > "$work/server.log"
"$server" --data "$data" --port 0 --fault "/script/get.php:stall:f=2" > "$work/server.log" &
pid=$!
port=""
for _ in $(seq 50); do
  port=$(sed -n '1s/^PORT //p' "$work/server.log")
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { echo "FAIL: the reference server did not start" >&2; exit 1; }

mkdir -p "$card/logs"
read -r serial password _ < <(grep -v -e '^#' -e '^$' "$data/accounts.txt" | head -n 1)
printf 'serial=%s\r\npass=%s\r\n' "$serial" "$password" > "$card/pass.ini"
printf 'scan 2024-05-02 KR-100 ok\r\n' > "$card/logs/session.log"
cp "$client" "$card/koral70.exe"
ln -sfn "$card" "$drive"

export KORAL70_UPDATE_URL="http://127.0.0.1:$port" KORAL70_POLICY_URL="http://127.0.0.1:$port"
"$(dirname "$0")/../gui/screenshot.sh" --title "$title" --out "$out" --lang "$lang" \
  --workdir "$card" --settle 4 --then-key y --exit-code 1 -- "${WINE:-wine}" 'k:\koral70.exe' /b
