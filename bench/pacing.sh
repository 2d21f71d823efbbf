#!/usr/bin/env bash
# The pacing of both transfers on both links: koralctl against koral-emu, the
# unit's side stamped, each run compared with the protocol's own time for the
# same bytes (pacing_report). Usage: bench/pacing.sh [BUILD_DIR] [RUNS] [CPU]
# With CPU, the program and the emulator both run on that one processor: on a
# virtual machine a byte written to a process on the other processor can wait
# for the host to run it (see docs/PERFORMANCE.md).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/bench}
runs=${2:-1}
pin=()
[[ -n ${3:-} ]] && pin=(taskset -c "$3")
emu=$build/tools/koral-emu/koral-emu
ctl=$build/tools/koralctl/koralctl
report=$build/bench/pacing_report
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One transfer against a fresh unit: LINK (serial|udp), DIRECTION, koralctl's
# arguments before the link.
transfer() {
  local link=$1 direction=$2
  shift 2
  local stamps=$work/$link-$direction.txt emu_pid
  if [[ $link == serial ]]; then
    "${pin[@]}" "$emu" --quiet --still --stamp "$stamps" --link "$work/com1" >/dev/null &
    emu_pid=$!
    for _ in $(seq 50); do [[ -e $work/com1 ]] && break; sleep 0.1; done
    "${pin[@]}" "$ctl" "$direction" "$@" --serial "$work/com1" >/dev/null 2>&1
  else
    "${pin[@]}" "$emu" --quiet --still --stamp "$stamps" --udp 127.0.0.2:26482 >/dev/null &
    emu_pid=$!
    sleep 0.3
    "${pin[@]}" "$ctl" "$direction" "$@" --udp 127.0.0.2 >/dev/null 2>&1
  fi
  kill -TERM "$emu_pid"
  wait "$emu_pid" || true
  "$report" --link "$link" --direction "$direction" --stamps "$stamps" --settings "$work/settings-$link.txt"
}

for _ in $(seq "$runs"); do
  for link in serial udp; do
    transfer "$link" upload -o "$work/settings-$link.txt"
    transfer "$link" download "$work/settings-$link.txt"
  done
done
