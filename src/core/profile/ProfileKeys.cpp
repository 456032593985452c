#include "core/profile/ProfileKeys.h"

#include <array>

#include "core/input/VirtualButton.h"
#include "core/text/Directives.h"

namespace brevanto {
namespace {

constexpr const char* kDiagonalKeys[8] = {"Up-Right",  "Up- Left",  "Dn- Left",  "Dn-Right",
                                          "Up-Right2", "Up- Left2", "Dn- Left2", "Dn-Right2"};

std::string PlainButtonKey(int virtualButton) {
  return FormatDirectives("Button%02d", {int32_t{virtualButton - kFirstPlainButton + 1}});
}

std::string BuildAssignmentKey(int virtualButton) {
  if (virtualButton < kFirstPovButton) {
    return FormatDirectives(virtualButton % 2 == 0 ? "Axis%dn" : "Axis%dp",
                            {int32_t{virtualButton / 2 + 1}});
  }
  if (virtualButton < kFirstDiagonal) {
    const int offset = virtualButton - kFirstPovButton;
    return FormatDirectives("POV%d-%d", {int32_t{offset / 8 + 1}, int32_t{offset % 8 + 1}});
  }
  if (virtualButton < kFirstPlainButton) return kDiagonalKeys[virtualButton - kFirstDiagonal];
  return PlainButtonKey(virtualButton);
}

}  // namespace

std::string JoystickSectionName(int slot) {
  return FormatDirectives("Joystick %d", {int32_t{slot + 1}});
}

const std::string& AssignmentKey(int virtualButton) {
  // Loading and saving ask for every key of every slot; the names are made once.
  static const std::array<std::string, kVirtualButtonCount> keys = [] {
    std::array<std::string, kVirtualButtonCount> table;
    for (int i = 0; i < kVirtualButtonCount; ++i) {
      table[static_cast<std::size_t>(i)] = BuildAssignmentKey(i);
    }
    return table;
  }();
  static const std::string none;
  if (virtualButton < 0 || virtualButton >= kVirtualButtonCount) return none;
  return keys[static_cast<std::size_t>(virtualButton)];
}

std::string AliasKey(int virtualButton) {
  if (virtualButton >= PovButton(1, 0) && virtualButton <= PovButton(1, 7)) {
    return FormatDirectives("Input%02d", {int32_t{virtualButton + 1}});
  }
  if (virtualButton >= kFirstPlainButton && virtualButton < kVirtualButtonCount) {
    return PlainButtonKey(virtualButton);
  }
  return {};
}

}  // namespace brevanto
