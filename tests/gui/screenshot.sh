#!/usr/bin/env bash
# Runs a dialog program on the current X display, waits for its window by
# its exact title, takes a screenshot of the whole screen, presses a key to
# close the window and checks the program's exit code. Run it on a virtual
# display through with-xvfb.sh.
#
#   screenshot.sh --title TITLE --out FILE.png [--lang LANG] [--key KEY]
#                 [--then-key KEY] [--exit-code N] [--workdir DIR] [--card]
#                 [--caption] [--settle SECONDS] -- PROGRAM [ARGS...]
#
# LANG defaults to C.UTF-8 (LC_ALL and LC_MESSAGES are cleared, so LANG picks
# the language); KEY defaults to Escape; the exit code expected defaults to
# 0. --then-key presses one more key a second later (the answer to a
# question the first key brought up). The program runs in DIR, by default a
# fresh empty folder; --card puts an empty "pass.ini" there, so that the
# client takes it for its card. Without a
# window manager no title bar is drawn: --caption puts the window's title, as
# the X server holds it, in a strip above the screenshot. The screenshot is
# taken SECONDS (1) after the window showed.
set -uo pipefail

title="" out="" lang="C.UTF-8" key="Escape" thenkey="" expected=0 workdir="" card=0 caption=0 settle=1
while [ $# -gt 0 ]; do
  case "$1" in
    --title) title="$2"; shift 2 ;;
    --out) out="$2"; shift 2 ;;
    --lang) lang="$2"; shift 2 ;;
    --key) key="$2"; shift 2 ;;
    --then-key) thenkey="$2"; shift 2 ;;
    --exit-code) expected="$2"; shift 2 ;;
    --workdir) workdir="$2"; shift 2 ;;
    --card) card=1; shift ;;
    --caption) caption=1; shift ;;
    --settle) settle="$2"; shift 2 ;;
    --) shift; break ;;
    *) echo "screenshot.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
if [ -z "$title" ] || [ -z "$out" ] || [ $# -eq 0 ]; then
  echo "usage: screenshot.sh --title TITLE --out FILE.png [options] -- PROGRAM [ARGS...]" >&2
  exit 2
fi
for tool in xdotool import; do
  command -v "$tool" >/dev/null 2>&1 || { echo "FAIL: $tool is not installed" >&2; exit 1; }
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
[ -n "$workdir" ] || workdir="$scratch/run"
mkdir -p "$workdir" "$(dirname "$out")"
[ "$card" = 1 ] && : >"$workdir/pass.ini"
log="$scratch/program.log"

fail() {
  echo "FAIL: $*" >&2
  echo "--- program output ---" >&2
  cat "$log" >&2
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
  exit 1
}

# xdotool matches names with an extended regular expression: match the
# title literally and whole.
pattern="^$(printf '%s' "$title" | sed -e 's/[][\.*^$(){}?+|/]/\\&/g')\$"

# The program runs in another folder: name it by its absolute path.
program="$1"
shift
case "$program" in
  */*) program="$(cd "$(dirname "$program")" && pwd)/$(basename "$program")" ;;
esac

(cd "$workdir" && exec env -u LC_ALL -u LC_MESSAGES -u KORAL70_UI LANG="$lang" "$program" "$@") \
  >"$log" 2>&1 &
pid=$!

window=""
for _ in $(seq 1 300); do
  window=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1)
  [ -n "$window" ] && break
  kill -0 "$pid" 2>/dev/null || fail "the program ended before a window titled '$title' showed"
  sleep 0.1
done
[ -n "$window" ] || fail "no window titled '$title' within 30 s"
echo "found window $window titled '$title' (LANG=$lang)"

# Let the toolkit finish drawing the freshly mapped window.
sleep "$settle"
# Without a window manager a box may lie under its owner.
xdotool windowraise "$window" 2>/dev/null
import -window root "$out" || fail "import could not take the screenshot"
[ -s "$out" ] || fail "the screenshot $out is empty"
if [ "$caption" = 1 ]; then
  name=$(xdotool getwindowname "$window") || fail "the window's title cannot be read"
  font=$(fc-match -f '%{file}' ':lang=ja')
  convert "$out" -gravity north -background '#303030' -splice 0x30 -fill white \
    -font "$font" -pointsize 18 -annotate +0+5 "Window title: $name" "$out" ||
    fail "convert could not caption the screenshot"
fi
echo "screenshot: $out"

# Without a window manager nothing gives the window the keyboard focus.
xdotool windowfocus "$window" 2>/dev/null
sleep 0.2
xdotool key --clearmodifiers "$key"
if [ -n "$thenkey" ]; then
  sleep 1
  xdotool key --clearmodifiers "$thenkey"
fi

for _ in $(seq 1 200); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the program still runs 20 s after the key $key"
wait "$pid"
code=$?
pid=""
[ "$code" -eq "$expected" ] || fail "the program exited with $code, expected $expected"
grep -q "wx assertion failed" "$log" && fail "wx reported a failed assertion"
echo "the program exited with $code after the key $key"
