#!/usr/bin/env bash
# Takes the screenshots of the desktop program's windows in docs/screenshots/:
# builds koral-shots and the emulated unit, starts the unit on a
# pseudo-terminal behind Com1, and lets koral-shots go through the windows on
# a virtual X display. The unit is stopped on the way out.
#
#   bash scripts/screenshots.sh
#
# KORAL_BUILD_DIR chooses another build folder (default build/release).
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v xvfb-run >/dev/null; then
  echo "The screenshots need a virtual X display: apt-get install xvfb" >&2
  exit 1
fi

build=${KORAL_BUILD_DIR:-build/release}
scripts/install-deps.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKORAL_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target koral-shots koral-emu

work=$(mktemp -d "${TMPDIR:-/tmp}/koral-shots.XXXXXX")
unit=
stop_unit() {
  if [[ -n "$unit" ]]; then kill "$unit" 2>/dev/null || true; fi
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap stop_unit EXIT

"$build/tools/koral-emu/koral-emu" -q --link "$work/com1" >"$work/serial.txt" &
unit=$!
for _ in $(seq 50); do [[ -e "$work/com1" ]] && break; sleep 0.1; done
if [[ ! -e "$work/com1" ]]; then
  echo "The emulated unit did not create its line $work/com1" >&2
  exit 1
fi

out=docs/screenshots
mkdir -p "$out"
# Qt wants a private runtime folder; a fresh one where the session has none.
if [[ -z "${XDG_RUNTIME_DIR:-}" ]]; then
  export XDG_RUNTIME_DIR="$work/runtime"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
fi
KORAL_COM1="$work/com1" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1280x1024x24" "$build/tools/koral-shots/koral-shots" "$out"
