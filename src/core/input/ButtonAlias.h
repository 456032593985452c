#pragma once

#include <array>

#include "core/input/VirtualButton.h"

namespace brevanto {

// One entry of a profile's alias table: virtual button i takes source a, or
// the combination of a and b (and c) when those are not negative.
struct ButtonAlias {
  int a = 0;
  int b = -1;
  int c = -1;

  bool IsSingle() const { return b < 0; }
  bool IsPair() const { return b >= 0 && c < 0; }
  bool IsTriple() const { return b >= 0 && c >= 0; }
  friend bool operator==(const ButtonAlias&, const ButtonAlias&) = default;
};

using ButtonAliasTable = std::array<ButtonAlias, kVirtualButtonCount>;

// The identity table: every virtual button reads itself.
inline ButtonAliasTable IdentityAliasTable() {
  ButtonAliasTable table{};
  for (int i = 0; i < kVirtualButtonCount; ++i) table[static_cast<std::size_t>(i)] = ButtonAlias{i, -1, -1};
  return table;
}

}  // namespace brevanto
