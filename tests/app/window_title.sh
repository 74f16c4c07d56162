#!/usr/bin/env bash
# The main window's title as the window manager gets it (_NET_WM_NAME), from the program
# run on a virtual X server: "Velcor Monidesk V2.0", the name once. Qt appends the
# application's display name to every title not ending with it, so a display name set
# anew brings back "Velcor Monidesk V2.0 — Velcor Monidesk".
# Skipped (exit code 77) without xvfb-run or xprop (scripts/install-deps installs both).
# Usage: tests/app/window_title.sh <monidesk program>   (ctest runs it as main_window_title)
set -euo pipefail
program=$(realpath "${1:?monidesk program}")
if [ "${2:-}" != --on-display ]; then
  for tool in xvfb-run xprop xwininfo; do
    command -v "$tool" >/dev/null || {
      echo "window_title: SKIPPED, $tool is not installed"
      exit 77
    }
  done
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  # A home of its own: a first run, nothing read from or saved to the user's settings.
  HOME=$scratch XDG_RUNTIME_DIR=$scratch QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$program" --on-display
  exit
fi

"$program" --simulate >/dev/null 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true' EXIT
# The main window is the program's only mapped window of its size (366 x 67).
window=
for _ in $(seq 150); do
  window=$(xwininfo -root -tree | awk '/ 366x67\+/ {print $1; exit}')
  [ -n "$window" ] && break
  kill -0 "$pid" 2>/dev/null || {
    echo "window_title: the program ended before its main window showed"
    exit 1
  }
  sleep 0.2
done
[ -n "$window" ] || {
  echo "window_title: no main window after 30 s"
  exit 1
}
title=$(xprop -id "$window" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')
if [ "$title" != "Velcor Monidesk V2.0" ]; then
  echo "window_title: the main window's title reads \"$title\""
  exit 1
fi
echo "window_title: \"$title\""
