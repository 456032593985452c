#include "ui/dialogs/TInputNameDialog.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>

#include "support/UiTestSupport.h"

namespace brevanto {
namespace {

struct CloseCase {
  const char* name;
  std::function<void(TInputNameDialog&)> close;
  std::string text;
  bool accepted;
};

TEST(TInputNameDialogTest, HowItClosesDecidesWhatTheCallerReads) {
  const CloseCase cases[] = {
      {"OK", [](TInputNameDialog& d) { d.btnOK->click(); }, "Race", true},
      {"Enter", [](TInputNameDialog& d) { QTest::keyClick(d.editNewName, Qt::Key_Return); }, "Race",
       true},
      // The close box confirms what was typed.
      {"close box", [](TInputNameDialog& d) { d.close(); }, "Race", false},
      {"Cancel", [](TInputNameDialog& d) { d.btnCancel->click(); }, "", false},
      {"Escape", [](TInputNameDialog& d) { QTest::keyClick(d.editNewName, Qt::Key_Escape); }, "",
       false},
  };
  for (const CloseCase& c : cases) {
    SCOPED_TRACE(c.name);
    TInputNameDialog dialog;
    dialog.SetText("Old");
    dialog.show();
    dialog.editNewName->clear();
    QTest::keyClicks(dialog.editNewName, QStringLiteral("Race"));
    c.close(dialog);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.Text(), c.text);
    EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted);
  }
}

TEST(TInputNameDialogTest, AskShowsCaptionPromptAndTextAndReturnsTheEdit) {
  QString title, prompt;
  testing::WhenModal<TInputNameDialog>([&](TInputNameDialog* d) {
    title = d->windowTitle();
    prompt = d->lblExplanation->text();
    EXPECT_EQ(d->focusWidget(), d->editNewName);
    QTest::keyClick(d->editNewName, Qt::Key_End);
    QTest::keyClicks(d->editNewName, QStringLiteral("-2"));
    d->btnOK->click();
  });
  EXPECT_EQ(TInputNameDialog::Ask(nullptr, "タブ[1] の表示名の変更",
                                  "このタブの表示名を入力してください", "Pad"),
            "Pad-2");
  EXPECT_EQ(title, QStringLiteral("タブ[1] の表示名の変更"));
  EXPECT_EQ(prompt, QStringLiteral("このタブの表示名を入力してください"));
}

}  // namespace
}  // namespace brevanto
