#pragma once

#include <string>

#include "core/engine/ButtonAssignment.h"

namespace brevanto {

class TDeviceTemplate;

// The texts of one row of the button list: caption, assignment summary,
// auto-repeat setting (the comment column shows the comment as it is).

// "Stick1: ←" for axes, POV directions and diagonals; "[n] label" or
// "[n] Button" for plain button n.
std::string ButtonCaption(int buttonIndex, const TDeviceTemplate* deviceTemplate);
inline std::string ButtonCaption(const ButtonAssignment& record,
                                 const TDeviceTemplate* deviceTemplate) {
  return ButtonCaption(record.buttonIndex, deviceTemplate);
}

// Key names of one input joined by ", ", up to the first empty code.
std::string KeysText(const KeyCodes& codes);
std::string AssignmentText(const ButtonAssignment& record);
std::string RepeatText(const ButtonAssignment& record);

}  // namespace brevanto
