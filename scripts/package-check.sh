#!/usr/bin/env bash
# Builds the Debian package and checks it (its menu entry, its AppStream
# description, lintian), then tries it with scripts/package-try.sh in a fresh
# Debian 12 made by debootstrap, or with --on-this-machine here. Needs root or
# sudo. Usage: scripts/package-check.sh [--on-this-machine]
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --packaging
as_root=()
[[ $(id -u) -eq 0 ]] || as_root=(sudo)

build=build/package
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DKORAL_BUILD_TESTS=OFF >/dev/null
cmake --build "$build"
rm -f "$build"/koral_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$PWD/$build"/koral_3.09_*.deb)
echo "== package: $deb"
dpkg-deb --field "$deb" Depends

echo "== checks"
desktop-file-validate packaging/org.koral.Koral.desktop
appstreamcli validate --no-net packaging/org.koral.Koral.metainfo.xml
lintian --fail-on error "$deb"

if [[ ${1:-} == --on-this-machine ]]; then
  scripts/package-try.sh "$deb"
  exit
fi

# A fresh Debian 12 with nothing but its base system, so the package must bring
# every library it needs; the programs run there as an ordinary user.
echo "== a fresh Debian 12"
fresh=$(mktemp -d /tmp/koral-fresh.XXXXXX)
cleanup() {
  "${as_root[@]}" umount "$fresh/proc" 2>/dev/null || true
  "${as_root[@]}" rm -rf --one-file-system "$fresh"
}
trap cleanup EXIT
# mktemp made it private; the user in it must reach its programs.
chmod 755 "$fresh"
# From the Debian mirror this machine's apt uses, so a local mirror is used too.
mirror=$(cat /etc/apt/sources.list.d/*.sources /etc/apt/sources.list 2>/dev/null |
  sed -n 's/^URIs: *//p; s/^deb  *\(\[[^]]*\] *\)\?\([^ ]*\) .*/\2/p' | grep -v security | awk 'NR == 1 { print $1 }' || true)
"${as_root[@]}" debootstrap --variant=minbase bookworm "$fresh" "${mirror:-http://deb.debian.org/debian}" >/dev/null
"${as_root[@]}" mount -t proc proc "$fresh/proc"
"${as_root[@]}" cp "$deb" scripts/package-try.sh "$fresh/tmp/"
"${as_root[@]}" chroot "$fresh" useradd --create-home --groups dialout engineer
"${as_root[@]}" chroot "$fresh" /tmp/package-try.sh "/tmp/$(basename "$deb")" engineer
