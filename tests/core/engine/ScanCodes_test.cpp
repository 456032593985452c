#include "core/engine/ScanCodes.h"

#include <gtest/gtest.h>

namespace brevanto {
namespace {

TEST(VirtualKeyToScanCode, FixedKeysLayoutKeysAndTheExtendedFlag) {
  struct Case {
    uint8_t vk;
    uint16_t scan;
  };
  const Case cases[] = {
      // Fixed by the program.
      {0x12, 0x15D},
      {0x13, 0x145},
      {0x5B, 0x15B},
      {0xA0, 0x2A},
      {0xA3, 0x11D},
      {0xA5, 0x138},
      {0xB3, 0x122},
      // Translated, with E0 for the navigation block, numpad divide and Num Lock.
      {0x25, 0x14B},
      {0x28, 0x150},
      {0x21, 0x149},
      {0x2E, 0x153},
      {0x2C, 0x137},
      {0x6F, 0x135},
      {0x90, 0x145},
      {0x03, 0x146},
      // Plain keys.
      {0x41, 0x1E},
      {0x5A, 0x2C},
      {0x30, 0x0B},
      {0x39, 0x0A},
      {0x0D, 0x1C},
      {0x10, 0x2A},
      {0x11, 0x1D},
      {0x1B, 0x01},
      {0x20, 0x39},
      {0x70, 0x3B},
      {0x7A, 0x57},
      {0x87, 0x76},
      {0x60, 0x52},
      {0x6A, 0x37},
      {0x6E, 0x53},
      {0xBA, 0x27},
      {0xC0, 0x29},
      {0xE2, 0x56},
      {0x5D, 0x5D},
      // Nothing to send.
      {0x00, 0},
      {0x07, 0},
      {0xFF, 0},
      {0x6C, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VirtualKeyToScanCode(c.vk), c.scan) << std::hex << int{c.vk};
  }
}

TEST(ScanCodeToVirtualKey, InvertsTheForwardTableChoosingTheLowestKey) {
  for (int vk = 1; vk < 256; ++vk) {
    const uint16_t scan = VirtualKeyToScanCode(static_cast<uint8_t>(vk));
    if (scan == 0) continue;
    const uint8_t back = ScanCodeToVirtualKey(scan);
    EXPECT_EQ(VirtualKeyToScanCode(back), scan) << std::hex << vk;
    EXPECT_LE(back, vk) << std::hex << vk;
  }
  EXPECT_EQ(ScanCodeToVirtualKey(0x1E), 0x41);
  EXPECT_EQ(ScanCodeToVirtualKey(0x14B), 0x25);
  EXPECT_EQ(ScanCodeToVirtualKey(0x2A), 0x10) << "the generic Shift before left Shift";
  EXPECT_EQ(ScanCodeToVirtualKey(0x4B), 0x64) << "without E0 it is the keypad key";
  EXPECT_EQ(ScanCodeToVirtualKey(0x17F), 0);
  EXPECT_EQ(ScanCodeToVirtualKey(0), 0);
  EXPECT_EQ(ScanCodeToVirtualKey(0xFFFF), 0);
}

}  // namespace
}  // namespace brevanto
