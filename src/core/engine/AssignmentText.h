#pragma once

#include <string>

#include "core/engine/ButtonAssignment.h"

namespace brevanto {

class ProfileJoystick;
class TDeviceConfig;
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

// The template a slot's rows use: the attached device's when it has one,
// otherwise the one the profile names for the slot (may be none).
const TDeviceTemplate* SlotTemplate(const TDeviceConfig* attachedDevice,
                                    const ProfileJoystick& slot);
// The caption of a record of the slot with the slot's template.
std::string RowCaption(const ButtonAssignment& record, const TDeviceConfig* attachedDevice,
                       const ProfileJoystick& slot);

// Key names of one input joined by ", ", up to the first empty code.
std::string KeysText(const KeyCodes& codes);
std::string AssignmentText(const ButtonAssignment& record);
std::string RepeatText(const ButtonAssignment& record);

}  // namespace brevanto
