#pragma once

#include "core/input/AliasEvaluation.h"
#include "core/input/SlotState.h"

namespace brevanto {

// Updates the slot's pressed flags from the alias-evaluated values. Every
// virtual button uses the stick-1 Threshold. Returns whether any flag changed.
bool UpdatePressed(SlotState& slot, const VirtualValues& values, int count, int threshold,
                   int32_t tick);

}  // namespace brevanto
