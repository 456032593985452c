#pragma once

#include <string>

namespace brevanto {

// Names of the sections and keys of a profile file.

inline constexpr const char* kGeneralSection = "General";
inline constexpr const char* kButtonAliasSection = "ButtonAlias";

// "Joystick 1" for slot 0.
std::string JoystickSectionName(int slot);

// The key that holds a virtual button's assignment line in a joystick
// section: "Axis1n" .. "Axis8p", "POV1-1" .. "POV4-8", the diagonals
// ("Up- Left" keeps its blank), "Button01" ... Empty for an index outside
// 0..183.
const std::string& AssignmentKey(int virtualButton);

// The key of an alias table entry: "Input17" .. "Input24" for the first hat,
// "Button01" ... for the plain buttons, empty for entries never stored.
std::string AliasKey(int virtualButton);

}  // namespace brevanto
