// Random assignment records under random input timelines: no path may leave
// a key or mouse button down.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "EngineTimeline.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static brevanto::fuzzing::EngineTimeline timeline;
  const std::string problem = timeline.Run(data, size);
  if (!problem.empty()) {
    std::fprintf(stderr, "stuck: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
