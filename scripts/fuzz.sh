#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for a while on a scratch copy of
# its seed corpus (the committed seeds stay as they are).
# Usage: scripts/fuzz.sh [SECONDS | --runs N] [TARGET...]
#   SECONDS  how long each target runs (default 30)
#   --runs N run each target for N executions instead, however long it takes
#   TARGET   target names without "_fuzz" (default: all of tests/fuzz)
# The build tree is build/fuzz in the repository, or $KORAL_FUZZ_BUILD_DIR; it
# is configured with clang when it does not exist yet. Prints one line per
# target and exits 1 when any target found something; the input that did it is
# kept in <build>/fuzz-findings/ and named.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${KORAL_FUZZ_BUILD_DIR:-$repo/build/fuzz}
limit=(-max_total_time=30)
if [[ $# -gt 1 && $1 == --runs ]]; then
  limit=(-runs="$2")
  shift 2
elif [[ $# -gt 0 && $1 =~ ^[0-9]+$ ]]; then
  limit=(-max_total_time="$1")
  shift
fi

# The longest input worth trying per target: a little more than the largest
# sound input it reads (a settings file is about 7.5 KB).
declare -A max_len=(
  [settings_text]=9000
  [serial_receive]=600
  [udp_receive]=600
  [output_decoder]=64
  [event_decoder]=64
  [ip_address]=64
  [upload_blocks]=1200
  [download_frame]=1600
  [koralctl_command_line]=512
)

targets=("$@")
if [[ ${#targets[@]} -eq 0 ]]; then
  for source in "$repo"/tests/fuzz/*_fuzz.cpp; do
    name=$(basename "$source" .cpp)
    targets+=("${name%_fuzz}")
  done
fi

if [[ ! -f $build/CMakeCache.txt ]]; then
  cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang-14 \
    -DCMAKE_CXX_COMPILER=clang++-14 -DKORAL_BUILD_TESTS=ON -DKORAL_FUZZ=ON >/dev/null
fi
cmake --build "$build" -j2 --target fuzz_targets >/dev/null

# Undefined behaviour is a finding too: stop at the first report. Allocation
# stacks are left out of ASan's reports (the fault's own stack stays): recording
# one for every allocation would halve the executions per second.
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=0}

findings=$build/fuzz-findings
mkdir -p "$findings"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

failed=0
for target in "${targets[@]}"; do
  program=$build/tests/fuzz/${target}_fuzz
  if [[ ! -x $program ]]; then
    echo "$target: no such fuzz target" >&2
    failed=1
    continue
  fi
  corpus=$scratch/$target
  mkdir -p "$corpus"
  if [[ -d $repo/tests/fuzz/corpus/$target ]]; then
    cp "$repo"/tests/fuzz/corpus/"$target"/* "$corpus"/
  fi
  log=$scratch/$target.log
  status=0
  "$program" "$corpus" "${limit[@]}" -max_len="${max_len[$target]:-4096}" -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$findings/$target-" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  coverage=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1 || true)
  if [[ $status -eq 0 ]]; then
    echo "$target: ${runs:-?} runs, ${speed:-?}/s, ${coverage:-no coverage line}, no finding"
    continue
  fi
  failed=1
  artifact=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -1)
  echo "$target: FINDING after ${runs:-?} runs (exit $status), input kept in ${artifact:-<none written>}"
  grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error)' "$log" | head -5 | sed 's/^/  /' || true
  cp "$log" "$findings/$target.log"
  echo "  full log: $findings/$target.log"
done
exit $failed
