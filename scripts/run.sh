#!/usr/bin/env bash
# Builds KORAL and starts it. Arguments are passed on to the program.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKORAL_BUILD_TESTS=OFF >/dev/null
cmake --build build/release --target koralctl

if [[ $# -eq 0 ]]; then
  set -- show
fi
exec build/release/tools/koralctl/koralctl "$@"
