#!/usr/bin/env bash
# What the running program costs while it waits for input, and while one
# controller moves the mouse, measured against the floor: a program that
# does nothing but wake on a timerfd with the same period (scripts/
# idle-floor.c), running beside it over the same seconds. On a virtual
# machine a bare wake-up already costs tens of microseconds and moves with
# the machine's other load, so the ratio to the floor is the figure to read.
#
#   scripts/idle-cost.sh [-s SECONDS] [-n RUNS] [-c CASES] [-t]
#
#   -s SECONDS  measured seconds per case (default 60)
#   -n RUNS     how often every case is measured (default 1)
#   -c CASES    comma-separated list of cases (default all of them):
#                 headless  --headless, no controller
#                 window    the main window shown, no controller
#                 pad       --headless, one virtual controller at rest
#                 use0      --headless, one virtual controller holding the
#                           stick that moves the mouse, TurboMode 0
#                 use4      the same at TurboMode 4 (1 ms; its floor wakes
#                           every millisecond too)
#   -t          also list each thread's CPU time per period
#
# CPU time is read from /proc/PID/task/*/schedstat (nanoseconds on the CPU,
# every thread), sampled once a second so that a thread that ends during the
# measurement loses at most its last second; one that starts during it counts
# whole. Resident memory (VmRSS) and the proportional share (PSS, shared
# library pages divided among the processes mapping them) are read at the
# end. Every case runs on a private Xvfb with Openbox as the window manager,
# with an empty data directory of its own, no uinput (output through XTest)
# and TurboMode 0 unless named. The table is markdown.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60
runs=1
cases=headless,window,pad,use0,use4
threads=0
while getopts "s:n:c:th" option; do
  case $option in
    s) seconds=$OPTARG ;;
    n) runs=$OPTARG ;;
    c) cases=$OPTARG ;;
    t) threads=1 ;;
    *) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2; exit 2 ;;
  esac
done
program=${BREVANTO:-build/brevanto}
[[ -x $program ]] || { echo "idle-cost: $program is missing (build the brevanto target)" >&2; exit 2; }
for tool in Xvfb openbox cc; do
  command -v "$tool" >/dev/null || { echo "idle-cost: $tool is missing (scripts/install-deps.sh)" >&2; exit 2; }
done
IFS=, read -r -a case_list <<<"$cases"
for c in "${case_list[@]}"; do
  [[ $c =~ ^(headless|window|pad|use0|use4)$ ]] || { echo "idle-cost: unknown case $c" >&2; exit 2; }
done

settle=3
work=$(mktemp -d)
xvfb_pid=""
wm_pid=""
floor_pid=""
brevanto_pid=""
stop() {
  local pid=$1
  [[ -n $pid ]] || return 0
  kill -TERM "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}
cleanup() {
  stop "$brevanto_pid"
  stop "$floor_pid"
  stop "$wm_pid"
  stop "$xvfb_pid"
  rm -rf "$work"
}
trap cleanup EXIT

cc -O2 -o "$work/idle-floor" scripts/idle-floor.c

display=:$((100 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.txt" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [[ -e /tmp/.X11-unix/X${display#:} ]] && break; sleep 0.1; done
mkdir -p "$work/home"
DISPLAY=$display HOME=$work/home openbox --sm-disable >"$work/openbox.txt" 2>&1 &
wm_pid=$!
sleep 1

# A profile whose first stick moves the mouse, for the cases in use; with no
# controller or one at rest it does nothing.
profile() {
  printf '[General]\r\nFileVersion=70\r\nNumberOfJoysticks=1\r\n[Joystick 1]\r\n'
  printf 'Axis1n=2,  -30,   0,   0, 0, 0, 0, 0.000, 0, 95, 1.0, 100, 0, 0, 0,    0\r\n'
  printf 'Axis1p=2,   30,   0,   0, 0, 0, 0, 0.000, 0, 95, 1.0, 100, 0, 0, 0,    0\r\n'
  printf 'Axis2n=2,    0, -30,   0, 0, 0, 0, 0.000, 0, 95, 1.0, 100, 0, 0, 0,    0\r\n'
  printf 'Axis2p=2,    0,  30,   0, 0, 0, 0, 0.000, 0, 95, 1.0, 100, 0, 0, 0,    0\r\n'
}

# One line per thread of each process: "SAMPLE PID TID NANOSECONDS NAME".
sample() {
  local index=$1 pid task ns name
  shift
  for pid in "$@"; do
    for task in /proc/"$pid"/task/*; do
      { read -r ns _ <"$task/schedstat" && read -r name <"$task/comm"; } 2>/dev/null || continue
      echo "$index $pid ${task##*/} $ns ${name// /_}"
    done
  done
}

now_ns() {
  local t=${EPOCHREALTIME/[.,]/}
  echo $((t * 1000))
}

# Prints "floor_ns brevanto_ns ended_threads" over the samples, and with -t
# the threads to $work/threads.txt.
summarise() {
  local samples=$1 floor=$2 brevanto=$3 last=$4 period_ns=$5 elapsed_ns=$6
  awk -v floor="$floor" -v brevanto="$brevanto" -v last="$last" -v periods="$((elapsed_ns / period_ns))" \
    -v threads="$work/threads.txt" '
    {
      key = $2 " " $3
      if (!(key in first)) { first[key] = $1; start[key] = $4; name[key] = $5 }
      final[key] = $1; end[key] = $4
    }
    END {
      for (key in first) {
        split(key, k, " ")
        # A thread first seen after the start began during the measurement.
        used = first[key] == 0 ? end[key] - start[key] : end[key]
        total[k[1]] += used
        if (final[key] < last) ended++
        if (k[1] == brevanto && periods > 0) {
          printf "%s %.1f\n", name[key], used / periods / 1000 >> threads
        }
      }
      printf "%.0f %.0f %d\n", total[floor], total[brevanto], ended
    }' "$samples"
}

memory() {
  local pid=$1 rss pss
  rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status")
  pss=$(awk '/^Pss:/ { print $2 }' "/proc/$pid/smaps_rollup" 2>/dev/null || echo 0)
  echo "$rss ${pss:-0}"
}

measure() {
  local name=$1 run=$2 turbo=0 args=(--headless) script="" floor_ms=16
  case $name in
    window) args=() ;;
    pad) script=rest ;;
    use0) script=hold ;;
    use4) script=hold; turbo=4; floor_ms=1 ;;
  esac
  local data=$work/data-$name-$run runtime=$work/runtime-$name-$run
  mkdir -p "$data" "$runtime"
  chmod 700 "$runtime"
  profile >"$data/Move.cfg"
  printf '[LastStatus]\r\nFileName=Move\r\nTurboMode=%d\r\nShowDebugLog=0\r\n' "$turbo" >"$data/Brevanto.ini"
  if [[ -n $script ]]; then
    # The script ends well after the measurement; after its end every control rests.
    local ticks=$(((seconds + settle + 60) * 1000 / (16 >> turbo)))
    {
      echo "device 1 dinput"
      [[ $script == hold ]] && echo "1 1 x 600"
      echo "end $ticks"
    } >"$work/pad-$name-$run.txt"
    args+=(--virtual-pad="$work/pad-$name-$run.txt")
  fi

  "$work/idle-floor" "$floor_ms" &
  floor_pid=$!
  DISPLAY=$display HOME=$work/home XDG_RUNTIME_DIR=$runtime \
    "$program" --no-uinput --data-dir "$data" "${args[@]}" >"$work/output.txt" 2>&1 &
  brevanto_pid=$!
  local i=0
  until grep -q "TimerInit: Timer initialized" "$data/Brevanto.log" 2>/dev/null; do
    i=$((i + 1))
    if ((i > 300)) || ! kill -0 "$brevanto_pid" 2>/dev/null; then
      echo "idle-cost: brevanto did not start ($name):" >&2
      cat "$work/output.txt" >&2
      exit 1
    fi
    sleep 0.1
  done
  sleep "$settle"

  local samples=$work/samples.txt begin end s
  : >"$samples"
  begin=$(now_ns)
  sample 0 "$floor_pid" "$brevanto_pid" >>"$samples"
  for ((s = 1; s <= seconds; s++)); do
    sleep 1
    sample "$s" "$floor_pid" "$brevanto_pid" >>"$samples"
  done
  end=$(now_ns)
  read -r rss pss < <(memory "$brevanto_pid")
  kill -0 "$brevanto_pid" 2>/dev/null || { echo "idle-cost: brevanto ended during $name" >&2; exit 1; }

  : >"$work/threads.txt"
  local period_ns=$(((16 >> turbo) * 1000000)) elapsed=$((end - begin))
  read -r floor_ns brevanto_ns ended < <(summarise "$samples" "$floor_pid" "$brevanto_pid" "$seconds" "$period_ns" "$elapsed")
  stop "$brevanto_pid"
  brevanto_pid=""
  stop "$floor_pid"
  floor_pid=""

  awk -v name="$name" -v run="$run" -v e="$elapsed" -v f="$floor_ns" -v b="$brevanto_ns" \
    -v p="$period_ns" -v rss="$rss" -v pss="$pss" -v ended="$ended" 'BEGIN {
      note = (ended > 0) ? sprintf(" (%d thread(s) ended)", ended) : ""
      printf "| %s | %d | %.0f | %.3f %% | %.3f %% | %.2f × | %.1f µs | %.1f MiB | %.1f MiB |%s\n",
        name, run, e / 1e9, 100 * f / e, 100 * b / e, (f > 0) ? b / f : 0,
        (b - f) / (e / p) / 1000, rss / 1024, pss / 1024, note
    }'
  if ((threads)); then
    # Threads that slept throughout are left out.
    sort -k2 -g -r "$work/threads.txt" |
      awk '$2 > 0 { printf "|   thread %s | | | | %s µs per period | | | | |\n", $1, $2 }'
  fi
}

echo "Load average at the start: $(cut -d' ' -f1-3 /proc/loadavg); $(nproc) cores; $seconds s per case."
echo
echo "| case | run | seconds | floor | Brevanto | ratio | beyond the floor per period | VmRSS | PSS |"
echo "|---|---|---|---|---|---|---|---|---|"
for ((run = 1; run <= runs; run++)); do
  for c in "${case_list[@]}"; do measure "$c" "$run"; done
done
