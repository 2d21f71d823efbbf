#!/usr/bin/env bash
# Builds the benchmarks in an optimised build and runs them: all of them, or
# those named. docs/PERFORMANCE.md says what each one shows.
# Usage: scripts/bench.sh [decoders] [receive] [display] [monitor-window]
#                         [repaint] [startup] [show] [pacing] [pacing-one-cpu]
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --tests --benchmarks
build=build/bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKORAL_BUILD_TESTS=ON -DKORAL_BUILD_BENCHMARKS=ON >/dev/null
cmake --build "$build"

# The window benchmarks draw offscreen; Qt wants a private runtime folder.
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
offscreen=(env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$runtime")

wanted=("$@")
[[ ${#wanted[@]} -eq 0 ]] && wanted=(decoders receive display monitor-window repaint startup show pacing pacing-one-cpu)
for name in "${wanted[@]}"; do
  echo "=== $name"
  case $name in
    decoders) "$build/bench/decoder_bench" ;;
    receive) "$build/bench/receive_path_bench" ;;
    display) "$build/bench/monitor_display_bench" ;;
    monitor-window) "${offscreen[@]}" "$build/bench/monitor_window_bench" ;;
    repaint) "${offscreen[@]}" "$build/bench/window_repaint_bench" ;;
    startup) bench/startup.sh "$build" 20 ;;
    show) bench/koralctl_show.sh "$build" 30 ;;
    pacing) bench/pacing.sh "$build" 3 ;;
    pacing-one-cpu) bench/pacing.sh "$build" 3 0 ;;
    *)
      echo "unknown benchmark: $name" >&2
      exit 2
      ;;
  esac
done
