#include "core/engine/KeyNames.h"

#include <gtest/gtest.h>

#include "core/ports/KeyboardLayout.h"

namespace brevanto {
namespace {

struct NameCase {
  uint32_t code;
  const char* name;
};

void PrintTo(const NameCase& c, std::ostream* os) {
  *os << std::hex << "0x" << c.code;
}

class ButtonNameTest : public ::testing::TestWithParam<NameCase> {};
TEST_P(ButtonNameTest, NamesTheVirtualButton) {
  EXPECT_EQ(ButtonName(static_cast<int>(GetParam().code)), GetParam().name);
}
INSTANTIATE_TEST_SUITE_P(Cases, ButtonNameTest,
                         ::testing::Values(NameCase{0, "Stick1: ←"}, NameCase{3, "Stick1: ↓"},
                                           NameCase{7, "Stick2: ↓"}, NameCase{8, "Axis5(<0)"},
                                           NameCase{15, "Slider2(>0)"}, NameCase{16, "POV: ↑"},
                                           NameCase{23, "POV: ↖"}, NameCase{24, "POV2: ↑"},
                                           NameCase{47, "POV4: ↖"}, NameCase{48, "Stick1: ↗"},
                                           NameCase{55, "Stick2: ↘"}, NameCase{56, "Button 1"},
                                           NameCase{183, "Button 128"}));

class KeyNameTest : public ::testing::TestWithParam<NameCase> {};
TEST_P(KeyNameTest, NamesTheKeyCodeWithoutALayout) {
  ASSERT_EQ(CurrentKeyboardLayout(), nullptr);
  EXPECT_EQ(KeyName(GetParam().code), GetParam().name);
}
INSTANTIATE_TEST_SUITE_P(
    Cases, KeyNameTest,
    ::testing::Values(NameCase{0x00, "None"}, NameCase{0x41, "A"}, NameCase{0x30, "0"},
                      NameCase{0x70, "F1"}, NameCase{0x87, "F24"}, NameCase{0x07, "0x07"},
                      NameCase{0xF5, "0xF5"}, NameCase{0x65, "Numpad 5"}, NameCase{0xDC, "\\"},
                      NameCase{0xB3, "Medit Play/Pause"}, NameCase{0xE2, "_"},
                      NameCase{0xF2, "カタカナ"}, NameCase{0x100, "漢字ON/OFF"},
                      NameCase{0x108, "Pause(Alt)"}, NameCase{0x109, "N/A"}, NameCase{0x10A, "???"},
                      NameCase{0x201, "左クリック"}, NameCase{0x203, "右クリック"},
                      NameCase{0x204, "???"}, NameCase{0x83F, "Button64"},
                      NameCase{0x800, "Button1"}, NameCase{0x40A, "Mouse:↑(10)"},
                      NameCase{0x505, "Mouse:→(5)"}, NameCase{0x602, "Mouse:↓(2)"},
                      NameCase{0x71E, "Mouse:←(30)"}, NameCase{0x901, "Wheel:↑(1)"},
                      NameCase{0xA0A, "Wheel:↓(10)"}, NameCase{0x300, "???"},
                      NameCase{0xB00, "???"}, NameCase{0x2A0041, "A"}));

// A layout that prints lower-case letters and a few symbols, as a
// non-US layout would for some keys.
class FakeLayout : public KeyboardLayout {
 public:
  std::string CharacterOf(uint8_t vk) const override {
    ++asked;
    if (vk >= 0x41 && vk <= 0x5A) return std::string(1, static_cast<char>('a' + vk - 0x41));
    if (vk == 0xBA) return "ö";
    if (vk == 0xE2) return "<";
    return {};
  }
  mutable int asked = 0;
};

TEST(KeyNameWithLayout, AsksTheLayoutForPrintableKeysOnly) {
  FakeLayout layout;
  SetKeyboardLayout(&layout);
  EXPECT_EQ(KeyName(0x41), "a");
  EXPECT_EQ(KeyName(0xBA), "ö");
  EXPECT_EQ(KeyName(0x70), "F1") << "no character: the table name";
  const int before = layout.asked;
  EXPECT_EQ(KeyName(0xE2), "_") << "0xE2 never asks the layout";
  EXPECT_EQ(KeyName(0x25), "←");
  EXPECT_EQ(KeyName(0x6A), "Numpad *");
  EXPECT_EQ(layout.asked, before);
  SetKeyboardLayout(nullptr);
}

}  // namespace
}  // namespace brevanto
