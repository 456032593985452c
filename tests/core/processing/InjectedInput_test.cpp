#include "core/processing/InjectedInput.h"

#include <gtest/gtest.h>

namespace brevanto {
namespace {

TEST(InjectedInput, PressAndReleaseTouchOnlyPlainButtonsZeroTo127) {
  InjectedInput injected;
  for (intptr_t button : {intptr_t{-1}, intptr_t{128}, intptr_t{1} << 40}) injected.Press(button);
  for (int b = -1; b <= kPlainButtonCount; ++b) EXPECT_FALSE(injected.Pressed(b)) << b;

  injected.Press(4);
  injected.Press(127);
  EXPECT_TRUE(injected.Pressed(4));
  EXPECT_TRUE(injected.Pressed(127));
  injected.Release(4);
  injected.Release(-5);
  EXPECT_FALSE(injected.Pressed(4));
  EXPECT_TRUE(injected.Pressed(127));
}

TEST(InjectedInput, NewTargetForgetsTheInjectedStates) {
  InjectedInput injected;
  injected.SetTarget(1);
  injected.Press(4);
  injected.SetTarget(2);
  EXPECT_EQ(injected.injectTarget(), 2);
  EXPECT_FALSE(injected.Pressed(4));
}

TEST(InjectedInput, JoystickNumbersFromOtherProgramsAreCheckedBeforeUse) {
  InjectedInput injected;
  EXPECT_EQ(injected.injectTarget(), InjectedInput::kNone);
  EXPECT_EQ(injected.suppressedSlot(), InjectedInput::kNone);

  injected.SetTarget(50);
  injected.SetSuppressedSlot(intptr_t{1} << 33);
  EXPECT_EQ(injected.injectTarget(), InjectedInput::kNone);
  EXPECT_EQ(injected.suppressedSlot(), InjectedInput::kNone);

  injected.SetTarget(5);
  injected.SetSuppressedSlot(7);
  // A profile with four joysticks has neither.
  EXPECT_EQ(injected.InjectTargetWithin(4), InjectedInput::kNone);
  EXPECT_EQ(injected.SuppressedSlotWithin(4), InjectedInput::kNone);
  EXPECT_EQ(injected.InjectTargetWithin(8), 5);
  EXPECT_EQ(injected.SuppressedSlotWithin(8), 7);
}

}  // namespace
}  // namespace brevanto
