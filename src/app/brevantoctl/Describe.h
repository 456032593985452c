#pragma once

namespace brevanto::ctl {

// brevantoctl describe PROFILE [--joystick N]: the button list of one slot.
int RunDescribe(int argc, char** argv);

}  // namespace brevanto::ctl
