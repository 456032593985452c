#pragma once

namespace brevanto::ctl {

// brevantoctl devices [--mode=N] [--virtual-pad=SCRIPT]: the detected
// controllers and their joystick slots.
int RunDevices(int argc, char** argv);

}  // namespace brevanto::ctl
