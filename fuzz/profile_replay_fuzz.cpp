// Random profiles with joystick and profile switches under a random
// controller script through the processing cycle: no path may leave a key or
// mouse button down.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "ProfileReplay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static brevanto::fuzzing::ProfileReplay replay;
  const std::string problem = replay.Run(data, size);
  if (!problem.empty()) {
    std::fprintf(stderr, "stuck: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
