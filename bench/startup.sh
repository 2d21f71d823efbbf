#!/bin/sh
# The desktop program's start-up figures beside a bare Qt Widgets program's:
# offscreen, and on an X server (Xvfb, the xcb platform) when xvfb-run is
# installed. Each figure is the median, min and max of RUNS starts.
#   bench/startup.sh BUILD_DIR [RUNS]
set -eu
build=${1:?usage: startup.sh BUILD_DIR [RUNS]}
runs=${2:-20}
probe=$build/bench/koral_startup_probe
bare=$build/bench/koral_startup_bare
# Qt wants a private runtime folder; a fresh one keeps the runs alike.
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT

for program in "$probe" "$bare"; do
  echo "== $(basename "$program"), offscreen"
  QT_QPA_PLATFORM=offscreen "$program" --runs "$runs" 2>/dev/null
done
if command -v xvfb-run >/dev/null; then
  for program in "$probe" "$bare"; do
    echo "== $(basename "$program"), xcb on Xvfb"
    xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb "$program" --runs "$runs" 2>/dev/null
  done
else
  echo "(no xvfb-run: the xcb figures are left out)"
fi
