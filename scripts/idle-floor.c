/* The least a program costs that wakes every period and does nothing else:
 * one blocking read of a periodic timerfd per wake-up. Runs until killed.
 *
 *   idle-floor [PERIOD_MS]      (default 16)
 */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/timerfd.h>
#include <time.h>
#include <unistd.h>

int main(int argc, char** argv) {
  const long periodMs = argc > 1 ? strtol(argv[1], NULL, 10) : 16;
  if (periodMs <= 0 || periodMs > 1000) {
    fprintf(stderr, "idle-floor: the period is 1..1000 ms\n");
    return 2;
  }
  const int fd = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC);
  if (fd < 0) {
    perror("idle-floor: timerfd_create");
    return 1;
  }
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  const struct timespec period = {periodMs / 1000, (periodMs % 1000) * 1000000L};
  struct itimerspec spec = {period, now};
  spec.it_value.tv_nsec += period.tv_nsec;
  spec.it_value.tv_sec += period.tv_sec + spec.it_value.tv_nsec / 1000000000L;
  spec.it_value.tv_nsec %= 1000000000L;
  if (timerfd_settime(fd, TFD_TIMER_ABSTIME, &spec, NULL) != 0) {
    perror("idle-floor: timerfd_settime");
    return 1;
  }
  for (;;) {
    uint64_t expirations;
    if (read(fd, &expirations, sizeof expirations) < 0) {
      perror("idle-floor: read");
      return 1;
    }
  }
}
