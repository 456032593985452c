#include "platform/linux/output/XkbKeyboardLayout.h"

#include <gtest/gtest.h>

#include <X11/keysym.h>
#include <linux/input-event-codes.h>

#include <chrono>
#include <optional>
#include <thread>

#include "core/engine/KeyNames.h"
#include "support/TestWindow.h"

namespace brevanto {
namespace {

struct CapCase {
  unsigned long keysym;
  const char* text;
};

void PrintTo(const CapCase& c, std::ostream* os) {
  *os << "keysym 0x" << std::hex << c.keysym;
}

class KeyCapTextTest : public ::testing::TestWithParam<CapCase> {};

TEST_P(KeyCapTextTest, ShowsWhatTheKeyCapShows) {
  EXPECT_EQ(KeyCapText(GetParam().keysym), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, KeyCapTextTest,
                         ::testing::Values(CapCase{XK_a, "A"}, CapCase{XK_1, "1"},
                                           CapCase{XK_semicolon, ";"}, CapCase{XK_odiaeresis, "Ö"},
                                           CapCase{XK_dead_circumflex, "^"},
                                           CapCase{XK_dead_acute, "´"}, CapCase{XK_Return, ""},
                                           CapCase{XK_Escape, ""}, CapCase{XK_Delete, ""},
                                           CapCase{XK_F1, ""}, CapCase{XK_Shift_L, ""},
                                           CapCase{0, ""}));

class XkbKeyboardLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::HasDisplay()) GTEST_SKIP() << testing::kNoDisplayReason;
    lock_.emplace();
    // Keeps the server from resetting while the layout connects.
    display_ = testing::OpenTestDisplay();
    ASSERT_NE(display_, nullptr);
    layout_ = XkbKeyboardLayout::Open();
    ASSERT_NE(layout_, nullptr);
  }
  void TearDown() override {
    layout_.reset();
    if (display_) XCloseDisplay(display_);
  }

  std::optional<testing::DisplayLock> lock_;
  Display* display_ = nullptr;
  std::unique_ptr<XkbKeyboardLayout> layout_;
};

TEST_F(XkbKeyboardLayoutTest, NamesTheCharacterOfTheKeyAtTheVirtualKeysPlace) {
  EXPECT_EQ(layout_->CharacterOf(0x41), "A");
  EXPECT_EQ(layout_->CharacterOf(0x5A), "Z");
  EXPECT_EQ(layout_->CharacterOf(0x31), "1");
  EXPECT_EQ(layout_->CharacterOf(0xBA), ";");
  EXPECT_EQ(layout_->CharacterOf(0xBF), "/");
  EXPECT_EQ(layout_->CharacterOf(0x70), "") << "F1 prints nothing";
  EXPECT_EQ(layout_->CharacterOf(0x0D), "") << "Enter prints a control character";
  EXPECT_EQ(layout_->CharacterOf(0xFF), "") << "no key";
}

TEST_F(XkbKeyboardLayoutTest, KeyNamesFollowTheInstalledLayout) {
  SetKeyboardLayout(layout_.get());
  EXPECT_EQ(KeyName(0x41), "A");
  EXPECT_EQ(KeyName(0xBA), ";") << "the US key at this place, not the table's name";
  EXPECT_EQ(KeyName(0x70), "F1");
  SetKeyboardLayout(nullptr);
}

TEST_F(XkbKeyboardLayoutTest, FollowsAChangedKeyboardMapping) {
  ASSERT_EQ(layout_->CharacterOf(0x41), "A");
  Display* d = display_;
  const KeyCode keycode = KEY_A + 8;
  int perCode = 0;
  KeySym* saved = XGetKeyboardMapping(d, keycode, 1, &perCode);
  ASSERT_NE(saved, nullptr);
  KeySym q[] = {XK_q, XK_Q};
  XChangeKeyboardMapping(d, keycode, 2, q, 1);
  XSync(d, False);

  std::string seen;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  while ((seen = layout_->CharacterOf(0x41)) != "Q" && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(seen, "Q");

  XChangeKeyboardMapping(d, keycode, perCode, saved, 1);
  XSync(d, False);
  XFree(saved);
}

}  // namespace
}  // namespace brevanto
