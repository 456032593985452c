#include "core/input/AliasEvaluation.h"

#include <algorithm>

namespace brevanto {
namespace {

int32_t Read(const VirtualValues& values, int index) {
  if (index < 0 || index >= kVirtualButtonCount) return 0;
  return values[static_cast<std::size_t>(index)];
}

void Clear(VirtualValues& out, int index) {
  if (index >= 0 && index < kVirtualButtonCount) out[static_cast<std::size_t>(index)] = 0;
}

}  // namespace

void EvaluateAliases(const VirtualValues& values, const ButtonAliasTable& aliases, int count,
                     VirtualValues& out) {
  const int n = std::clamp(count, 0, kVirtualButtonCount);
  out.fill(0);

  for (int i = 0; i < n; ++i) {
    const ButtonAlias& e = aliases[static_cast<std::size_t>(i)];
    int32_t& slot = out[static_cast<std::size_t>(i)];
    slot = 0;
    if (e.IsSingle()) {
      slot = Read(values, e.a);
    } else if (e.IsPair() && Read(values, e.a) > 0 && Read(values, e.b) > 0) {
      slot = kFullValue;
      Clear(out, e.a);
      Clear(out, e.b);
    }
  }

  for (int i = 0; i < n; ++i) {
    const ButtonAlias& e = aliases[static_cast<std::size_t>(i)];
    if (!e.IsTriple()) continue;
    if (Read(values, e.a) <= 0 || Read(values, e.b) <= 0 || Read(values, e.c) <= 0) continue;
    out[static_cast<std::size_t>(i)] = kFullValue;
    Clear(out, e.a);
    Clear(out, e.b);
    Clear(out, e.c);
    for (int j = 0; j < n; ++j) {
      const ButtonAlias& p = aliases[static_cast<std::size_t>(j)];
      if (!p.IsPair()) continue;
      if ((p.a == e.a && p.b == e.c) || (p.a == e.b && p.b == e.c) || (p.a == e.a && p.b == e.b)) {
        out[static_cast<std::size_t>(j)] = 0;
      }
    }
  }
}

}  // namespace brevanto
