#include "core/profile/ButtonListRows.h"

#include <algorithm>

#include "core/input/VirtualButton.h"
#include "core/profile/ConfigFile.h"

namespace brevanto {
namespace {

void AddRange(std::vector<int>& rows, int first, int count) {
  for (int i = 0; i < count; ++i) rows.push_back(first + i);
}

void AddPov(std::vector<int>& rows, int hat, bool eightWay) {
  const int first = PovButton(hat, 0);
  if (eightWay) {
    AddRange(rows, first, 8);
  } else {
    for (int d = 0; d < 8; d += 2) rows.push_back(first + d);
  }
}

}  // namespace

std::vector<int> ButtonListRows(const ProfileOptions& o) {
  std::vector<int> rows;
  AddRange(rows, 0, 4);
  if (o.UseDiagonalInput) AddRange(rows, kFirstDiagonal, 4);
  if (o.DisplayMode == 2 || o.DisplayMode == 3) {
    AddRange(rows, 4, 4);
    if (o.UseDiagonalInput2) AddRange(rows, kFirstDiagonal + 4, 4);
  }
  if (o.DisplayMode == 3) AddRange(rows, 8, 8);
  if (o.DisplayMode != 0) AddPov(rows, 1, o.UsePOV8Way);
  if (o.DisplayMode == 3) {
    for (int hat = 2; hat <= kPovCount; ++hat) AddPov(rows, hat, o.UsePOV8Way);
  }
  AddRange(rows, kFirstPlainButton, std::clamp(o.NumberOfButtons, 0, kPlainButtonCount));
  return rows;
}

}  // namespace brevanto
