#!/bin/sh
# koralctl show as a whole process: the wall time of RUNS runs of
# `koralctl show` on a full settings file (1092 lines), made in a temporary
# folder, as median, min and max, and the peak resident memory (/usr/bin/time). The file is the layout the program saves, one decimal byte
# value a line with CR LF; the values only have to be bytes.
#   bench/koralctl_show.sh BUILD_DIR [RUNS]
set -eu
build=${1:?usage: koralctl_show.sh BUILD_DIR [RUNS]}
runs=${2:-20}
koralctl=$build/tools/koralctl/koralctl
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

awk 'BEGIN { for (i = 0; i < 1092; i++) printf " %d \r\n", (i < 192 ? 208 : (i * 7) % 256) }' >"$work/settings.txt"
"$koralctl" show "$work/settings.txt" >/dev/null  # a bad file fails here, not in the timing

# Each run between two readings of the clock in nanoseconds. Each reading is a
# process of its own, so the figure holds about one short process start more
# than the command itself takes (a few milliseconds on a virtual machine).
i=0
while [ "$i" -lt "$runs" ]; do
  start=$(date +%s%N)
  "$koralctl" show "$work/settings.txt" >/dev/null
  end=$(date +%s%N)
  echo $(((end - start) / 1000)) >>"$work/times.txt"
  i=$((i + 1))
done
/usr/bin/time -f '%M' -o "$work/rss.txt" "$koralctl" show "$work/settings.txt" >/dev/null
rss=$(cat "$work/rss.txt")
sort -n "$work/times.txt" | awk -v rss="$rss" '
  { wall[NR] = $1 / 1000 }
  END {
    median = NR % 2 ? wall[(NR + 1) / 2] : (wall[NR / 2] + wall[NR / 2 + 1]) / 2
    printf "koralctl show, %d runs: wall median %.1f ms, min %.1f ms, max %.1f ms; peak RSS %d kB\n",
           NR, median, wall[1], wall[NR], rss
  }'
