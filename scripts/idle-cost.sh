#!/bin/sh
# Measures what the running program costs while it waits: CPU time used over a
# period (from /proc/PID/stat, user + system) and resident memory at the end.
#
#   scripts/idle-cost.sh [SECONDS] [BREVANTO ARGS...]
#
# Starts build/brevanto headless with an empty data directory of its own (no
# controllers attached, TurboMode 0), lets it settle, measures, and ends it
# with SIGTERM.
set -eu

seconds=${1:-30}
[ $# -gt 0 ] && shift
program=${BREVANTO:-build/brevanto}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/data" "$work/home" "$work/runtime"
chmod 700 "$work/runtime"

HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/runtime" \
  "$program" --headless --data-dir "$work/data" "$@" >"$work/output.txt" 2>&1 &
pid=$!

# Fields 14 and 15 of /proc/PID/stat: user and system time in clock ticks.
# The command name (field 2) is in parentheses and has no blanks here.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }

i=0
while ! grep -q "TimerInit: " "$work/data/Brevanto.log" 2>/dev/null; do
  i=$((i + 1))
  if [ $i -gt 300 ] || ! kill -0 $pid 2>/dev/null; then
    echo "brevanto did not start:" >&2
    cat "$work/output.txt" >&2
    exit 1
  fi
  sleep 0.1
done
sleep 2

hz=$(getconf CLK_TCK)
before=$(cpu_ticks)
sleep "$seconds"
after=$(cpu_ticks)
rss_kb=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status")
kill -TERM $pid
wait $pid || true

awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" -v rss="$rss_kb" 'BEGIN {
  printf "CPU over %d s: %.2f s = %.3f %% of one core\n", s, t / hz, 100 * t / hz / s
  printf "Resident memory: %.1f MiB\n", rss / 1024
}'
