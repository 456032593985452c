#include "ui/QtProfilePrompt.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "support/UiTestSupport.h"
#include "ui/dialogs/TInputNameDialog.h"

namespace brevanto {
namespace {

using Answer = ProfilePrompt::Answer;

TEST(QtProfilePromptTest, QuestionsAnswerWithTheButtonPressed) {
  const struct {
    const char* name;
    bool withCancel;
    std::function<void(QMessageBox*)> press;
    Answer answer;
  } cases[] = {
      {"Yes", true, [](QMessageBox* b) { b->button(QMessageBox::Yes)->click(); }, Answer::Yes},
      {"No", true, [](QMessageBox* b) { b->button(QMessageBox::No)->click(); }, Answer::No},
      {"Cancel", true, [](QMessageBox* b) { b->button(QMessageBox::Cancel)->click(); },
       Answer::Cancel},
      {"Escape with Cancel", true, [](QMessageBox* b) { QTest::keyClick(b, Qt::Key_Escape); },
       Answer::Cancel},
      {"Escape without Cancel", false, [](QMessageBox* b) { QTest::keyClick(b, Qt::Key_Escape); },
       Answer::No},
      {"Enter", false, [](QMessageBox* b) { QTest::keyClick(b, Qt::Key_Return); }, Answer::Yes},
  };
  QtProfilePrompt prompt;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QString title, text;
    bool hasCancel = false;
    QMessageBox::Icon icon = QMessageBox::Critical;
    testing::WhenModal<QMessageBox>([&](QMessageBox* box) {
      title = box->windowTitle();
      text = box->text();
      icon = box->icon();
      hasCancel = box->button(QMessageBox::Cancel) != nullptr;
      c.press(box);
    });
    EXPECT_EQ(prompt.Ask("Warning", "Race はすでに存在します。上書きしますか？", c.withCancel),
              c.answer);
    EXPECT_EQ(title, QStringLiteral("Warning"));
    EXPECT_EQ(text, QStringLiteral("Race はすでに存在します。上書きしますか？"));
    EXPECT_EQ(icon, QMessageBox::NoIcon);
    EXPECT_EQ(hasCancel, c.withCancel);
  }
}

TEST(QtProfilePromptTest, NamesComeFromTheNameDialogAndErrorsFromAStopBox) {
  QtProfilePrompt prompt;
  testing::WhenModal<TInputNameDialog>([](TInputNameDialog* d) {
    EXPECT_EQ(d->windowTitle(), QStringLiteral("設定ファイルの新規作成"));
    EXPECT_EQ(d->editNewName->text(), QString());
    d->editNewName->setText(QStringLiteral("Race"));
    d->btnOK->click();
  });
  EXPECT_EQ(prompt.AskName("設定ファイルの新規作成", "設定ファイルの名前を入力してください", ""),
            "Race");

  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QString text;
  testing::WhenModal<QMessageBox>([&](QMessageBox* box) {
    icon = box->icon();
    text = box->text();
    box->button(QMessageBox::Ok)->click();
  });
  prompt.ShowError("Error!", "最低一つの設定ファイルが必要です。");
  EXPECT_EQ(icon, QMessageBox::Critical);
  EXPECT_EQ(text, QStringLiteral("最低一つの設定ファイルが必要です。"));
}

}  // namespace
}  // namespace brevanto
