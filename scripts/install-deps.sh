#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those still missing.
# Usage: scripts/install-deps.sh [--tests] [--sanitizers] [--benchmarks] [--packaging]
set -euo pipefail

packages=(g++ cmake ninja-build qt6-base-dev qt6-serialport-dev qt6-multimedia-dev)
for option in "$@"; do
  case $option in
    --tests)
      # The window tests draw text with a font.
      packages+=(libgtest-dev libgmock-dev fonts-dejavu-core)
      ;;
    --benchmarks)
      # Google Benchmark; Xvfb for the start-up figure on a real X server.
      packages+=(libbenchmark-dev xvfb xauth)
      ;;
    --packaging)
      # The package's dependencies, its checks, and a fresh Debian to try it in.
      packages+=(dpkg-dev lintian desktop-file-utils appstream debootstrap)
      ;;
    --sanitizers)
      # The sanitizer and fuzzing build: clang with its runtime libraries.
      packages+=(clang-14 libclang-rt-14-dev)
      ;;
    *)
      echo "usage: scripts/install-deps.sh [--tests] [--sanitizers] [--benchmarks] [--packaging]" >&2
      exit 2
      ;;
  esac
done

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -eq 0 ]]; then
  as_root=()
else
  as_root=(sudo)
fi
echo "Installing: ${missing[*]}" >&2
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
