#include "platform/linux/output/ScanCodeKeys.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

namespace brevanto {
namespace {

struct ScanCase {
  uint16_t scan;
  uint16_t key;
};

void PrintTo(const ScanCase& c, std::ostream* os) {
  *os << "scan 0x" << std::hex << c.scan;
}

class EvdevKeyOfScanCodeTest : public ::testing::TestWithParam<ScanCase> {};

TEST_P(EvdevKeyOfScanCodeTest, MapsTheSetOneCode) {
  EXPECT_EQ(EvdevKeyOfScanCode(GetParam().scan), GetParam().key)
      << std::hex << "scan 0x" << GetParam().scan;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EvdevKeyOfScanCodeTest,
    ::testing::Values(
        // The E0 prefix separates the navigation block, the right-hand
        // modifiers and numpad Enter from their plain twins.
        ScanCase{0x4B, KEY_KP4}, ScanCase{0x14B, KEY_LEFT}, ScanCase{0x1D, KEY_LEFTCTRL},
        ScanCase{0x11D, KEY_RIGHTCTRL}, ScanCase{0x38, KEY_LEFTALT}, ScanCase{0x138, KEY_RIGHTALT},
        ScanCase{0x1C, KEY_ENTER}, ScanCase{0x11C, KEY_KPENTER}, ScanCase{0x35, KEY_SLASH},
        ScanCase{0x135, KEY_KPSLASH}, ScanCase{0x15D, KEY_COMPOSE}, ScanCase{0x15B, KEY_LEFTMETA},
        ScanCase{0x120, KEY_MUTE}, ScanCase{0x122, KEY_PLAYPAUSE},
        // Codes past the block that matches evdev one to one.
        ScanCase{0x01, KEY_ESC}, ScanCase{0x53, KEY_KPDOT}, ScanCase{0x56, KEY_102ND},
        ScanCase{0x57, KEY_F11}, ScanCase{0x58, KEY_F12}, ScanCase{0x64, KEY_F13},
        ScanCase{0x76, KEY_F24}, ScanCase{0x70, KEY_KATAKANAHIRAGANA}, ScanCase{0x73, KEY_RO},
        ScanCase{0x79, KEY_HENKAN}, ScanCase{0x7B, KEY_MUHENKAN}, ScanCase{0x7D, KEY_YEN},
        // DirectInput's key numbers with the E0 flag, as the "for DirectInput"
        // keys of an assignment send them.
        ScanCase{0x1CB, KEY_LEFT}, ScanCase{0x1C8, KEY_UP}, ScanCase{0x1CD, KEY_RIGHT},
        ScanCase{0x1D0, KEY_DOWN}, ScanCase{0x19D, KEY_RIGHTCTRL}, ScanCase{0x1B8, KEY_RIGHTALT},
        // An E0 code without a key of its own is its plain key.
        ScanCase{0x11E, KEY_A},
        // Nothing there.
        ScanCase{0x00, 0}, ScanCase{0x100, 0}, ScanCase{0x55, 0}, ScanCase{0x9D, 0},
        ScanCase{0x200, 0}, ScanCase{0xFFFF, 0}));

TEST(ScanCodeOfEvdevKeyTest, IsTheInverseOfEvdevKeyOfScanCode) {
  for (uint16_t key = 1; key < KEY_CNT; ++key) {
    const uint16_t scan = ScanCodeOfEvdevKey(key);
    if (scan != 0) {
      EXPECT_EQ(EvdevKeyOfScanCode(scan), key) << "key " << key;
    }
  }
}

TEST(ScanCodeOfEvdevKeyTest, GivesTheCodeAKeyboardSends) {
  const ScanCase cases[] = {
      {0x1E, KEY_A},          {0x1C, KEY_ENTER},  {0x11C, KEY_KPENTER}, {0x11D, KEY_RIGHTCTRL},
      {0x36, KEY_RIGHTSHIFT}, {0x14B, KEY_LEFT},  {0x4B, KEY_KP4},      {0x137, KEY_SYSRQ},
      {0x57, KEY_F11},        {0x79, KEY_HENKAN}, {0, KEY_RESERVED},    {0, KEY_CNT},
  };
  for (const ScanCase& c : cases) {
    EXPECT_EQ(ScanCodeOfEvdevKey(c.key), c.scan) << "key " << c.key;
  }
}

}  // namespace
}  // namespace brevanto
