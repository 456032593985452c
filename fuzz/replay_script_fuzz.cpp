#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/processing/ReplayScript.h"

// Replay scripts are typed by users; the parser must reject anything with a
// message and accept only what the player can run.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const brevanto::ReplayParseResult result =
      brevanto::ParseReplayScript(std::string_view(reinterpret_cast<const char*>(data), size));
  if (result.script.has_value() == !result.error.empty()) __builtin_trap();
  if (result.script) {
    int32_t previous = 0;
    for (const brevanto::ReplayEvent& event : result.script->events) {
      if (event.tick < previous || event.tick > result.script->endTick) __builtin_trap();
      if (event.slot < 0 || event.slot >= brevanto::kMaxJoysticks) __builtin_trap();
      previous = event.tick;
    }
  }
  return 0;
}
