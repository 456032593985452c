#pragma once

#include <cstdint>

#include "core/engine/ButtonAssignment.h"
#include "core/engine/EngineContext.h"

namespace brevanto {

// The per-cycle state machine of one button. Processing thread only; nothing
// here allocates except a program launch or a text paste.

// The value Process sees for a raw input 0..1000 (> 1000 after mouse
// scaling): a trigger override from another button replaces it, and a toggle
// record latches on each press. Called for every record of a slot each cycle,
// before the analog passes.
int32_t EffectiveValue(ButtonAssignment& record, int32_t raw, const EngineContext& context);

// One cycle of the record with its effective value (> 0 is pressed): press and
// release edges, auto-repeat, the MultiInput modes, profile-switch requests,
// program launch and text paste.
void Process(ButtonAssignment& record, int32_t value, EngineContext& context);

// Lets go of everything the record holds (a short DelayedSwitch press still
// being decided is sent as its short input first) and resets its run-time
// state, override and toggle included.
void ForceRelease(ButtonAssignment& record, const EngineContext& context);

}  // namespace brevanto
