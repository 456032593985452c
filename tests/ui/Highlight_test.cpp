#include "ui/Highlight.h"

#include <gtest/gtest.h>

#include <QTabBar>
#include <QTest>
#include <QTreeWidget>

#include "core/input/VirtualButton.h"
#include "support/FakeMainFormHost.h"
#include "support/UiTestSupport.h"

namespace brevanto {
namespace {

constexpr int kButton = PlainButton(3);

SlotStates Pressing(std::initializer_list<int> pressing) {
  SlotStates states{};
  for (int slot : pressing) {
    states[static_cast<std::size_t>(slot)].pressed[kButton] = true;
    states[static_cast<std::size_t>(slot)].anyPressed = true;
  }
  return states;
}

TEST(HighlightColourTest, SlotsShareEightColoursInTurn) {
  EXPECT_EQ(HighlightColour(0), QColor(255, 255, 0));
  EXPECT_EQ(HighlightColour(1), QColor(0, 255, 0));
  EXPECT_EQ(HighlightColour(2), QColor(0, 255, 255));
  EXPECT_EQ(HighlightColour(3), QColor(255, 0, 255));
  EXPECT_EQ(HighlightColour(4), QColor(128, 0, 0));
  EXPECT_EQ(HighlightColour(5), QColor(0, 128, 0));
  EXPECT_EQ(HighlightColour(6), QColor(128, 128, 0));
  EXPECT_EQ(HighlightColour(7), QColor(0, 0, 128));
  EXPECT_EQ(HighlightColour(9), HighlightColour(1));
}

TEST(HighlightSlotTest, PicksTheSlotWhoseColourPaintsTheRow) {
  const struct {
    const char* name;
    SlotStates states;
    int shown;
    bool highlightButtons, forAllTabs;
    int slot;
  } cases[] = {
      {"shown slot presses", Pressing({1}), 1, true, false, 1},
      {"another slot presses, shown only", Pressing({0}), 1, true, false, -1},
      // The first option takes precedence over the second.
      {"both options: only the shown slot", Pressing({0}), 1, true, true, -1},
      {"all tabs: the shown slot wins", Pressing({0, 1, 2}), 1, false, true, 1},
      {"all tabs: else the lowest slot", Pressing({2, 3}), 1, false, true, 2},
      {"all tabs: slots past the profile's count do not count", Pressing({5}), 0, false, true, -1},
      {"highlighting off", Pressing({1}), 1, false, false, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HighlightSlot(c.states, c.shown, 4, kButton, c.highlightButtons, c.forAllTabs),
              c.slot)
        << c.name;
  }
}

TEST(TabIsStarredTest, StarsSlotsInUseThatPressWhileTheWindowIsActive) {
  const SlotStates states = Pressing({1, 5});
  EXPECT_TRUE(TabIsStarred(states, 1, 4, true, true, false));
  EXPECT_TRUE(TabIsStarred(states, 1, 4, true, false, true));
  EXPECT_FALSE(TabIsStarred(states, 1, 4, false, true, false)) << "inactive window";
  EXPECT_FALSE(TabIsStarred(states, 1, 4, true, false, false)) << "highlighting off";
  EXPECT_FALSE(TabIsStarred(states, 0, 4, true, true, false)) << "nothing pressed";
  EXPECT_FALSE(TabIsStarred(states, 5, 4, true, true, false)) << "slot not in the profile";
}

// The window paints what the cycle reports only while it is the active one.
TEST(MainFormHighlightTest, ActiveWindowPaintsRowsAndStarsTabsAndForgetsThemWhenLeft) {
  if (!testing::OnRealDisplay()) GTEST_SKIP() << "window activation needs an X server";
  testing::FakeMainFormHost host;
  host.Profile(0).SetNumberOfJoysticks(2);
  host.Profile(0).NumberOfButtons = 4;
  TMainForm form(host, nullptr);
  host.form = &form;
  form.Initialize();
  form.tcJoystick->setCurrentIndex(1);
  host.states = Pressing({1});

  // The colour the row is painted in, read back from the screen.
  auto rowColour = [&] {
    QTreeWidgetItem* row = nullptr;
    for (int i = 0; i < form.lvButtonList->topLevelItemCount(); ++i) {
      if (form.lvButtonList->topLevelItem(i)->data(0, Qt::UserRole).toInt() == kButton) {
        row = form.lvButtonList->topLevelItem(i);
      }
    }
    form.lvButtonList->scrollToItem(row);
    const QRect rect = form.lvButtonList->visualItemRect(row);
    const QImage image = form.lvButtonList->viewport()->grab().toImage();
    return image.pixelColor(rect.right() - 4, rect.center().y());
  };

  form.show();
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form, 3000));
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.HighlightActive(); }, 3000));
  form.HandleMessage(PostedMessage{WM_BRV_BUTTONS_CHANGED, 0, 0});
  EXPECT_EQ(rowColour(), HighlightColour(1));
  EXPECT_EQ(form.tcJoystick->tabText(1), QStringLiteral("*[2] Joystick*"));
  EXPECT_EQ(form.tcJoystick->tabText(0), QStringLiteral("[1] Joystick"));
  // A rebuild while the button is held keeps the star: no new message comes.
  form.HandleMessage(PostedMessage{WM_BRV_DEVICES_CHANGED, 0, 0});
  EXPECT_EQ(form.tcJoystick->tabText(1), QStringLiteral("*[2] Joystick*"));

  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !form.HighlightActive(); }, 3000));
  EXPECT_EQ(rowColour(), form.lvButtonList->palette().color(QPalette::Base));
  EXPECT_EQ(form.tcJoystick->tabText(1), QStringLiteral("[2] Joystick"));

  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.HighlightActive(); }, 3000));
  EXPECT_EQ(rowColour(), HighlightColour(1));
  EXPECT_EQ(form.tcJoystick->tabText(1), QStringLiteral("*[2] Joystick*"));

  // The window paints by the two settings as they stand, slot 1 shown.
  const QColor none = form.lvButtonList->palette().color(QPalette::Base);
  const struct {
    const char* name;
    bool highlightButtons, forAllTabs;
    SlotStates states;
    QColor colour;
  } cases[] = {
      {"shown slot only: another slot presses", true, false, Pressing({0}), none},
      {"all tabs: another slot's colour", false, true, Pressing({0}), HighlightColour(0)},
      {"all tabs: the shown slot wins", false, true, Pressing({0, 1}), HighlightColour(1)},
      {"both: the shown slot only", true, true, Pressing({0}), none},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    host.settings.HighlightButtons = c.highlightButtons;
    host.settings.HighlightButtonsForAllTabs = c.forAllTabs;
    host.states = c.states;
    form.HandleMessage(PostedMessage{WM_BRV_BUTTONS_CHANGED, 0, 0});
    EXPECT_EQ(rowColour(), c.colour);
    EXPECT_EQ(form.tcJoystick->tabText(0), QStringLiteral("*[1] Joystick*"));
  }
}

}  // namespace
}  // namespace brevanto
