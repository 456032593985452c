#pragma once

#include <cstdint>

namespace brevanto {

class AbstractEvent;

// The process-wide current output method. Each KeySendMode 0..3 has one
// registered implementation; selecting swaps a pointer, nothing is created.
inline constexpr int kOutputMethodCount = 4;

// Installs the implementation for a mode (nullptr removes it). Done at start-up,
// before the processing thread runs. Returns false for a mode outside 0..3.
bool RegisterOutputMethod(int32_t keySendMode, AbstractEvent* method);

// Makes the method of keySendMode current. Values outside 0..3 keep the
// previous choice. Mode 0 is current until anything else is selected.
void SelectOutputMethod(int32_t keySendMode);

int32_t CurrentOutputMode();

// The current method. When no implementation is registered for the current
// mode, an output that drops every request stands in, so the engine never has
// to check.
AbstractEvent& CurrentOutput();

}  // namespace brevanto
