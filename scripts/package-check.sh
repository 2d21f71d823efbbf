#!/usr/bin/env bash
# Builds the Debian package, checks it, installs it, tries the installed
# programs as a user would (koralctl show, koral started from its menu entry on
# an X server, its manual and sound found), then removes it and checks that
# nothing of it is left. Needs root or sudo. Usage: scripts/package-check.sh
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

echo "== install"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$deb" >/dev/null
mapfile -t files < <(dpkg-query -L koral)

echo "== koralctl show"
shown=$(koralctl show)
echo "${shown%%$'\n'*}"
echo "== koral --check-install"
koral --check-install

echo "== koral from its menu entry, on Xvfb"
entry=/usr/share/applications/org.koral.Koral.desktop
command=$(sed -n 's/^Exec=//p' "$entry")
# The first window is the start-up selector, captioned "Software".
xvfb-run -a bash -c '
  '"$command"' &
  program=$!
  for _ in $(seq 100); do
    if xwininfo -root -tree | grep -q "\"Software\""; then
      echo "first window shown"
      kill "$program"
      exit 0
    fi
    sleep 0.1
  done
  kill "$program" 2>/dev/null
  echo "no window within 10 s" >&2
  exit 1'

echo "== remove"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q koral >/dev/null
left=0
for file in "${files[@]}"; do
  # Shared folders such as /usr/share stay; everything of ours must go.
  if [[ -f $file || ( -d $file && $file == *koral* ) ]]; then
    echo "left behind: $file" >&2
    left=1
  fi
done
[[ $left -eq 0 ]] && echo "nothing left"
exit "$left"
