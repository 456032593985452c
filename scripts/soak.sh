#!/usr/bin/env bash
# Runs the real program for a long time under AddressSanitizer and
# UndefinedBehaviorSanitizer: headless, at the fastest processing speed, with
# two virtual controllers playing random presses and stick movement, its
# output going to a private Xvfb through XTest. Passes when no sanitizer
# reported anything, resident memory stayed flat after the warm-up, no key or
# mouse button is down at the X server once the program has ended, and it
# ended with "Application terminated".
#
#   scripts/soak.sh [MINUTES]       (default 30; the build-asan tree must exist)
set -euo pipefail
cd "$(dirname "$0")/.."

minutes=${1:-${SOAK_MINUTES:-30}}
program=${SOAK_PROGRAM:-build-asan/brevanto}
[[ -x $program ]] || { echo "soak: $program is missing (make soak builds it)" >&2; exit 2; }

work=$(mktemp -d)
xvfb_pid=""
brevanto_pid=""
cleanup() {
  [[ -n $brevanto_pid ]] && kill "$brevanto_pid" 2>/dev/null || true
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/data" "$work/runtime" "$work/home"
chmod 700 "$work/runtime"

# Keys, a key combination, auto-repeat, a toggle and a press-count key on the
# buttons of each controller, the first stick moving the mouse.
{
  printf '[General]\r\nFileVersion=70\r\nNumberOfJoysticks=2\r\n'
  for joystick in 1 2; do
    printf '[Joystick %d]\r\n' "$joystick"
    printf 'Axis1n=2,  -30,   0,   0, 0, 0, 0, 0.000, 0, 95, 1.0, 100, 0, 0, 0,    0\r\n'
    printf 'Axis1p=2,   30,   0,   0, 0, 0, 0, 0.000, 0, 95, 1.0, 100, 0, 0, 0,    0\r\n'
    printf 'Axis2n=2,    0, -30,   0, 0, 0, 0, 0.000, 0, 95, 1.0, 100, 0, 0, 0,    0\r\n'
    printf 'Axis2p=2,    0,  30,   0, 0, 0, 0, 0.000, 0, 95, 1.0, 100, 0, 0, 0,    0\r\n'
    printf 'Button01=1, 41:00:00:00, 0.000, 0, 0\r\nButton02=1, A2:43:00:00, 0.000, 0, 0\r\n'
    printf 'Button03=1, 5A:00:00:00, 10.000, 0, 0\r\nButton04=1, 1B:00:00:00, 0.000, 1, 0\r\n'
    printf 'Button05=7, 2, 0, 31:0:0:0, 32:0:0:0, 33:0:0:0, 0:0:0:0, 95, 100, 0.000, 0, 0, 20, 1000\r\n'
    printf 'Button06=2,    0,   0,   0, 1, 0, 0, 0.000, 0, 95, 1.0, 100, 0, 0, 0,    0\r\n'
    printf 'Button07=1, 10:00:00:00, 0.000, 0, 0\r\nButton08=1, 20:00:00:00, 0.000, 0, 0\r\n'
  done
} > "$work/data/Soak.cfg"
printf '[LastStatus]\r\nFileName=Soak\r\nTurboMode=4\r\nShowDebugLog=0\r\n' > "$work/data/Brevanto.ini"

# At TurboMode 4 a script tick is a millisecond. Every 20–80 ms one control
# changes; everything is let go before the end.
ticks=$((minutes * 60 * 1000))
awk -v ticks="$ticks" -v seed="${SOAK_SEED:-1}" 'BEGIN {
  srand(seed);
  print "device 1 dinput"; print "device 2 xinput";
  split("a b x y lb rb back start", pad, " ");
  for (t = 10; t < ticks - 2000; t += 20 + int(rand() * 60)) {
    r = rand();
    if (r < 0.5) { printf "%d 1 b%d %d\n", t, 1 + int(rand() * 8), rand() < 0.5 }
    else if (r < 0.7) { printf "%d 1 %s %d\n", t, (rand() < 0.5 ? "x" : "y"), int(rand() * 2001) - 1000 }
    else if (r < 0.9) { printf "%d 2 %s %d\n", t, pad[1 + int(rand() * 8)], rand() < 0.5 }
    else { printf "%d 2 %s %d\n", t, (rand() < 0.5 ? "lx" : "ly"), int(rand() * 65535) - 32768 }
  }
  t = ticks - 1500;
  for (b = 1; b <= 8; b++) printf "%d 1 b%d 0\n", t, b;
  printf "%d 1 x 0\n%d 1 y 0\n%d 2 lx 0\n%d 2 ly 0\n", t, t, t, t;
  for (i = 1; i <= 8; i++) printf "%d 2 %s 0\n", t, pad[i];
  printf "end %d\n", ticks;
}' > "$work/pad.txt"

# The X server's view of held keys and buttons, asked of the server itself.
cat > "$work/held.c" <<'END'
#include <X11/Xlib.h>
#include <stdio.h>
int main(void) {
  Display* d = XOpenDisplay(NULL);
  if (!d) return 2;
  char keys[32];
  XQueryKeymap(d, keys);
  int held = 0;
  for (int i = 0; i < 256; ++i)
    if (keys[i / 8] & (1 << (i % 8))) { printf("key %d is down\n", i); held = 1; }
  Window root, child; int rx, ry, wx, wy; unsigned mask;
  XQueryPointer(d, DefaultRootWindow(d), &root, &child, &rx, &ry, &wx, &wy, &mask);
  if (mask & (Button1Mask | Button2Mask | Button3Mask | Button4Mask | Button5Mask)) {
    printf("mouse buttons down: %#x\n", mask); held = 1;
  }
  XCloseDisplay(d);
  return held;
}
END
cc -O2 -o "$work/held" "$work/held.c" -lX11

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
sleep 1

# A small quarantine: AddressSanitizer holds freed memory back to catch its
# use after free, and the default 256 MiB would read as growth for minutes.
export ASAN_OPTIONS="log_path=$work/asan:detect_leaks=1:quarantine_size_mb=4"
export UBSAN_OPTIONS="print_stacktrace=1:log_path=$work/ubsan"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
DISPLAY=$display HOME=$work/home XDG_RUNTIME_DIR=$work/runtime \
  "$program" --headless --no-uinput --data-dir "$work/data" --virtual-pad="$work/pad.txt" \
  >"$work/output.txt" 2>&1 &
brevanto_pid=$!

rss() { awk '/^VmRSS/ { print $2 }' "/proc/$brevanto_pid/status" 2>/dev/null || echo 0; }
echo "soak: $minutes minutes, pid $brevanto_pid, display $display"
warmup=$((minutes * 60 / 10 < 60 ? 60 : minutes * 60 / 10))
start=$(date +%s)
low=0
high=0
while (($(date +%s) - start < minutes * 60 + 5)); do
  sleep 10
  kill -0 "$brevanto_pid" 2>/dev/null || { echo "soak: the program ended early" >&2; cat "$work/output.txt" >&2; exit 1; }
  now=$(rss)
  if (($(date +%s) - start >= warmup)); then
    ((low == 0 || now < low)) && low=$now
    ((now > high)) && high=$now
  else
    first=$now
  fi
done
echo "soak: resident memory ${first:-?} KiB after start-up, ${low}..${high} KiB after the warm-up"

# A toggle the script left on holds its key until the program ends, so the
# server is asked once the program has gone its orderly way out.
failed=0
kill -TERM "$brevanto_pid"
status=0
wait "$brevanto_pid" || status=$?
brevanto_pid=""
if ! DISPLAY=$display "$work/held"; then
  echo "soak: something is still down at the X server" >&2
  failed=1
fi
tail -n 1 "$work/data/Brevanto.log" | grep -q "Application terminated" ||
  { echo "soak: the log does not end with \"Application terminated\"" >&2; failed=1; }
((status == 0)) || { echo "soak: exit code $status" >&2; failed=1; }
if ls "$work"/asan.* "$work"/ubsan.* >/dev/null 2>&1; then
  echo "soak: sanitizer reports:" >&2
  cat "$work"/asan.* "$work"/ubsan.* >&2 2>/dev/null || true
  failed=1
fi
if ((high - low > 1024)); then
  echo "soak: resident memory grew by $((high - low)) KiB after the warm-up" >&2
  failed=1
fi
((failed == 0)) && echo "soak: passed"
exit "$failed"
