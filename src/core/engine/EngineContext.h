#pragma once

#include <cstdint>

namespace brevanto {

class ButtonAssignment;
class Clipboard;
class Shell;

// What the button engine needs to know about the processing cycle it runs in.
// The cycle fills one per tick; the output method and RepeatSameKeyInSequence
// are the key output's (core/engine/KeyOutput.h, OutputSelection.h).
struct EngineContext {
  int32_t tick = 0;   // the cycle counter
  int turboMode = 0;  // one cycle lasts 16 ms >> turboMode
  bool targetWindowChanged = false;
  Shell* shell = nullptr;          // program launch; none: launches are logged and dropped
  Clipboard* clipboard = nullptr;  // text paste; none: Ctrl+V pastes what the clipboard holds
  // The ProfileSwitch record that asked for a switch in this cycle; the cycle
  // clears it at its start and acts on it at its end.
  const ButtonAssignment* profileSwitchRequest = nullptr;
};

}  // namespace brevanto
