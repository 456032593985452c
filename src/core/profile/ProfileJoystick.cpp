#include "core/profile/ProfileJoystick.h"

namespace brevanto {

ProfileJoystick::ProfileJoystick(int slot) : slot_(slot) {
  for (int i = 0; i < kVirtualButtonCount; ++i) Button(i).Stamp(slot, i);
}

void ProfileJoystick::CopyButtons(const ProfileJoystick& source) {
  for (int i = 0; i < kVirtualButtonCount; ++i) {
    Button(i).Copy(source.Button(i));
    Button(i).Stamp(slot_, i);
  }
}

}  // namespace brevanto
