// What the user is told when GNOME Shell's extension that reports the
// focused window is not active: in the log and in the window, the same
// state gives guidance, and where enabling helps, the command to type.

#include "app/program/GnomeExtensionNotice.h"

#include <gtest/gtest.h>

namespace brevanto {
namespace {

TEST(GnomeExtensionNotice, EveryInactiveStateSaysWhatToDo) {
  struct Case {
    GnomeExtensionState state;
    bool told;
    bool enableHelps;
  };
  const std::string command = "gnome-extensions enable brevanto-focus@brevanto.example";
  for (const Case& c : {Case{GnomeExtensionState::Active, false, false},
                        Case{GnomeExtensionState::Unknown, false, false},
                        Case{GnomeExtensionState::Missing, true, true},
                        Case{GnomeExtensionState::Disabled, true, true},
                        Case{GnomeExtensionState::Failed, true, false},
                        Case{GnomeExtensionState::OutOfDate, true, false}}) {
    const std::string log = GnomeExtensionNoticeLog(c.state);
    const std::string window = GnomeExtensionNoticeText(c.state);
    const int state = static_cast<int>(c.state);
    EXPECT_EQ(!log.empty(), c.told) << state;
    EXPECT_EQ(!window.empty(), c.told) << state;
    EXPECT_EQ(log.find(command) != std::string::npos, c.enableHelps) << state;
    EXPECT_EQ(window.find(command) != std::string::npos, c.enableHelps) << state;
  }
}

}  // namespace
}  // namespace brevanto
