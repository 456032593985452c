#pragma once

#include <vector>

namespace brevanto {

struct ProfileOptions;

// The virtual buttons the button list shows for a profile, in row order:
// stick 1, its diagonals, stick 2 and its diagonals, the further axes, the
// POV hats (four or eight directions) and the plain buttons, as far as the
// profile's display options ask for them.
std::vector<int> ButtonListRows(const ProfileOptions& options);

}  // namespace brevanto
