#!/usr/bin/env bash
# Builds KORAL and starts the desktop program. With no unit attached it first
# starts the emulated unit twice, on a pseudo-terminal behind Com1 and as a UDP
# bridge on 127.0.0.2, and stops both when the program ends.
#
#   bash scripts/run.sh                  # on the emulated unit
#   KORAL_REAL_UNIT=1 bash scripts/run.sh  # on a real unit (no emulator)
#
# Further arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKORAL_BUILD_TESTS=OFF >/dev/null
cmake --build build/release --target koral koral-emu koralctl

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  cat >&2 <<'TEXT'
KORAL is a desktop program and there is no display here. Run it from a desktop session,
over `ssh -X` from one, or on a virtual display: xvfb-run -a bash scripts/run.sh
The command-line tool works without one: build/release/tools/koralctl/koralctl --help
TEXT
  exit 1
fi

if [[ -z "${KORAL_REAL_UNIT:-}" ]]; then
  work=$(mktemp -d "${TMPDIR:-/tmp}/koral-run.XXXXXX")
  emulators=()
  stop_emulators() {
    if [[ ${#emulators[@]} -gt 0 ]]; then kill "${emulators[@]}" 2>/dev/null || true; fi
    wait 2>/dev/null || true
    rm -rf "$work"
  }
  trap stop_emulators EXIT
  build/release/tools/koral-emu/koral-emu -q --link "$work/com1" >"$work/serial.txt" &
  emulators+=($!)
  build/release/tools/koral-emu/koral-emu -q --udp 127.0.0.2:26482 >"$work/udp.txt" &
  emulators+=($!)
  for _ in $(seq 50); do [[ -e "$work/com1" ]] && break; sleep 0.1; done
  export KORAL_COM1="$work/com1"
  echo "Emulated unit: pick Koral-Serial, then \"Com1 4800,n,8,1\"." >&2
  echo "           or: pick Koral-UDP, type 127.0.0.2 as the IP address, then Connect." >&2
  build/release/src/ui/koral "$@"
else
  exec build/release/src/ui/koral "$@"
fi
