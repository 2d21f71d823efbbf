#!/usr/bin/env bash
# Tries an installed KORAL package as a user would, on the machine it runs on:
# installs the package with its dependencies, runs koralctl show and
# koral --check-install (its manual and sound found), starts koral from its menu
# entry on Xvfb until its first window shows, then removes the package and
# checks that nothing of it is left. The programs run as USER when one is given
# (the package itself is installed as root).
# Usage: scripts/package-try.sh PACKAGE.deb [USER]
set -euo pipefail
deb=$1
user=${2:-}
as_root=()
[[ $(id -u) -eq 0 ]] || as_root=(sudo)
as_user=()
[[ -z $user ]] || as_user=(runuser -u "$user" --)
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# apt's progress goes to a log, shown only when it fails.
apt_get() {
  if ! "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -y -q "$@" >"$log" 2>&1; then
    cat "$log" >&2
    return 1
  fi
}

echo "== install"
# An X server and xwininfo to see the first window by; they are not the package's.
apt_get install --no-install-recommends xvfb xauth x11-utils
apt_get install "$deb"
mapfile -t files < <(dpkg-query -L koral)

echo "== koralctl show"
shown=$("${as_user[@]}" koralctl show)
echo "${shown%%$'\n'*}"
echo "== koral --check-install"
"${as_user[@]}" koral --check-install

echo "== koral from its menu entry, on Xvfb"
command=$(sed -n 's/^Exec=//p' /usr/share/applications/org.koral.Koral.desktop)
# The first window is the start-up selector, captioned "Software".
"${as_user[@]}" xvfb-run -a bash -c '
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
apt_get purge koral
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
