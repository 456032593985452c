#pragma once

#include <array>
#include <cstdint>

#include "core/input/ButtonAlias.h"
#include "core/input/VirtualButton.h"

namespace brevanto {

using VirtualValues = std::array<int32_t, kVirtualButtonCount>;

// Applies a profile's alias table to one device reading. count is the number
// of virtual buttons the profile addresses (56 + NumberOfButtons). A held
// combination suppresses the single buttons it is made of; a held triple also
// suppresses the pairs made of its buttons.
void EvaluateAliases(const VirtualValues& values, const ButtonAliasTable& aliases, int count,
                     VirtualValues& out);

}  // namespace brevanto
