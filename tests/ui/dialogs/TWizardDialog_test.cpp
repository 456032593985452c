#include "ui/dialogs/TWizardDialog.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "support/UiTestSupport.h"

namespace brevanto {
namespace {

struct KeyCase {
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
  uint8_t virtualKey;
};

TEST(TWizardDialogTest, EveryKeyIsCapturedAndClosesTheDialog) {
  // The keys a dialog would otherwise use for itself are captured too.
  const KeyCase cases[] = {
      {Qt::Key_Return, Qt::NoModifier, 0x0D}, {Qt::Key_Escape, Qt::NoModifier, 0x1B},
      {Qt::Key_Tab, Qt::NoModifier, 0x09},    {Qt::Key_A, Qt::NoModifier, 0x41},
      {Qt::Key_F5, Qt::NoModifier, 0x74},     {Qt::Key_Enter, Qt::KeypadModifier, 0x0D},
  };
  TWizardDialog dialog;
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(c.virtualKey);
    testing::WhenModal<TWizardDialog>(
        [&](TWizardDialog* d) { QTest::keyClick(d->Edit1, c.key, c.modifiers); });
    dialog.exec();
    EXPECT_EQ(dialog.ResultCode(), TWizardDialog::kKeyCaptured);
    EXPECT_EQ(dialog.KeyCode(), c.virtualKey);
    EXPECT_TRUE(dialog.Edit1->text().isEmpty()) << "typed characters reach the edit";
  }
}

TEST(TWizardDialogTest, SkipExitAndCloseBoxGiveTheirCodesWithoutAKey) {
  struct ButtonCase {
    const char* name;
    std::function<void(TWizardDialog*)> act;
    int result;
  };
  const ButtonCase cases[] = {
      {"skip", [](TWizardDialog* d) { d->btnSkip->click(); }, TWizardDialog::kSkip},
      {"exit", [](TWizardDialog* d) { d->btnExit->click(); }, TWizardDialog::kExit},
      {"close box", [](TWizardDialog* d) { d->close(); }, TWizardDialog::kExit},
  };
  TWizardDialog dialog;
  for (const ButtonCase& c : cases) {
    SCOPED_TRACE(c.name);
    // A key captured by the previous showing must not carry over.
    testing::WhenModal<TWizardDialog>(
        [](TWizardDialog* d) { QTest::keyClick(d->Edit1, Qt::Key_B); });
    dialog.exec();
    ASSERT_EQ(dialog.KeyCode(), 0x42);
    testing::WhenModal<TWizardDialog>(c.act);
    dialog.exec();
    EXPECT_EQ(dialog.ResultCode(), c.result);
    EXPECT_EQ(dialog.KeyCode(), 0);
  }
}

}  // namespace
}  // namespace brevanto
