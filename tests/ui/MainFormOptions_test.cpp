#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QTest>

#include "core/input/VirtualButton.h"
#include "support/MainFormFixture.h"
#include "support/UiTestSupport.h"
#include "ui/ButtonListEditor.h"
#include "ui/MainFormOptions.h"
#include "ui/dialogs/TGreetingDialog.h"
#include "ui/dialogs/TWizardDialog.h"

namespace brevanto {
namespace {

using testing::TMainFormTest;

class MainFormOptionsTest : public TMainFormTest {
 protected:
  void SetUp() override {
    Create();
    form->tcJoystick->setCurrentIndex(form->tcJoystick->count() - 1);
    ASSERT_EQ(form->PageControl1->currentIndex(), 1);
    profile().modified = false;
  }
  ConfigFile& profile() { return host.Profile(0); }
};

TEST_F(MainFormOptionsTest, ThePageShowsTheProfile) {
  ConfigFile& p = host.Profile(1);
  p.SetNumberOfJoysticks(3);
  p.NumberOfButtons = 12;
  p.DisplayMode = 3;
  p.UsePOV8Way = true;
  p.Threshold = 355;
  p.KeySendMode = 2;
  p.SoundFile = "a.wav";
  p.VibrationDuration = 0;
  form->lbConfigListClick(1);
  Settle();
  EXPECT_EQ(form->PageControl1->currentIndex(), 1) << "the options stay in view";
  EXPECT_EQ(form->tcJoystick->currentIndex(), 3);
  EXPECT_EQ(form->editNumJoystick->text(), QStringLiteral("3"));
  EXPECT_EQ(form->editNumButtons->text(), QStringLiteral("12"));
  EXPECT_EQ(form->cbAxisDisplayMode->currentIndex(), 3);
  EXPECT_TRUE(form->cbUsePOV8Way->isChecked());
  EXPECT_EQ(form->tbThreshold1->value(), 35);
  EXPECT_EQ(form->lblThreshold1->text(), QStringLiteral("35 %"));
  EXPECT_EQ(form->cbKeySendMode->currentIndex(), 2);
  EXPECT_TRUE(form->cbPlaySound->isChecked());
  EXPECT_TRUE(form->editSoundFile->isEnabled());
  EXPECT_FALSE(form->cbShowProfileImage->isChecked());
  EXPECT_FALSE(form->btnImageFile->isEnabled());
  EXPECT_FALSE(form->btnVibrationDetails->isEnabled());
  EXPECT_FALSE(p.modified) << "showing is not editing";
}

TEST_F(MainFormOptionsTest, ThresholdBarsStoreTenthsOfAPerCent) {
  form->tbThreshold1->setValue(35);
  EXPECT_EQ(profile().Threshold, 350);
  EXPECT_EQ(form->lblThreshold1->text(), QStringLiteral("35 %"));
  EXPECT_TRUE(profile().modified);
  form->tbThreshold2->setValue(0);
  EXPECT_EQ(profile().Threshold2, 0);
  EXPECT_EQ(host.timerDisabled, 0) << "every pause is resumed";
}

TEST_F(MainFormOptionsTest, DisplayOptionsChangeTheRows) {
  form->cbUsePOV8Way->click();
  EXPECT_TRUE(profile().UsePOV8Way);
  EXPECT_TRUE(profile().modified);
  form->cbAxisDisplayMode->setCurrentIndex(0);
  emit form->cbAxisDisplayMode->activated(0);
  EXPECT_EQ(profile().DisplayMode, 0);
  form->tcJoystick->setCurrentIndex(0);
  EXPECT_EQ(Rows().size(), 4u + 32u);
}

TEST_F(MainFormOptionsTest, NumberOfJoysticksIsCheckedAndAppliedThroughTheDevicesMessage) {
  for (const char* bad : {"0", "51"}) {
    SCOPED_TRACE(bad);
    form->editNumJoystick->setText(QString::fromLatin1(bad));
    QString message;
    testing::AnswerNextMessageBox(&message);
    form->btnApplyNumJoysticks->click();
    EXPECT_EQ(message, QStringLiteral("1 以上 50 以下の数を入れてください。"));
    EXPECT_EQ(profile().NumberOfJoysticks(), 2);
  }
  form->editNumJoystick->setText(QStringLiteral("2"));
  form->btnApplyNumJoysticks->click();
  Settle();
  EXPECT_FALSE(profile().modified) << "the same number changes nothing";

  form->editNumJoystick->setText(QStringLiteral("4"));
  form->btnApplyNumJoysticks->click();
  EXPECT_EQ(profile().NumberOfJoysticks(), 4);
  EXPECT_TRUE(profile().modified);
  Settle();
  EXPECT_EQ(Tabs().size(), 5u) << "rebuilt on the posted message";
}

TEST_F(MainFormOptionsTest, NumberOfButtonsOutsideTheTableIsRefused) {
  const struct {
    const char* text;
    int stored;
    bool message;
  } cases[] = {
      {"129", 32, true}, {"-1", 32, true}, {"x", 32, true}, {"128", 128, false}, {"0", 0, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    form->editNumButtons->setText(QString::fromLatin1(c.text));
    QString message;
    if (c.message) testing::AnswerNextMessageBox(&message);
    form->Options().editNumButtonsExit();
    EXPECT_EQ(profile().NumberOfButtons, c.stored);
    EXPECT_EQ(!message.isEmpty(), c.message);
    EXPECT_EQ(form->editNumButtons->text().toStdString(), std::to_string(c.stored));
  }
}

TEST_F(MainFormOptionsTest, VibrationBoxSetsADefaultDurationAndClearsEverything) {
  form->cbTriggerVibration->click();
  EXPECT_EQ(profile().VibrationDuration, 500);
  EXPECT_TRUE(form->btnVibrationDetails->isEnabled());
  profile().VibrationSpeed1 = 40;
  profile().VibrationSpeed2 = 60;
  form->cbTriggerVibration->click();
  EXPECT_EQ(profile().VibrationDuration, 0);
  EXPECT_EQ(profile().VibrationSpeed1, 0);
  EXPECT_EQ(profile().VibrationSpeed2, 0);
  EXPECT_FALSE(form->btnVibrationDetails->isEnabled());
  EXPECT_TRUE(profile().modified);
}

TEST_F(MainFormOptionsTest, SoundBoxKeepsTheFileOnlyWhileChecked) {
  form->editSoundFile->setText(QStringLiteral("typed.wav"));
  form->cbPlaySound->click();
  EXPECT_EQ(profile().SoundFile, "typed.wav");
  EXPECT_TRUE(form->btnSoundFile->isEnabled());
  form->cbPlaySound->click();
  EXPECT_EQ(profile().SoundFile, "");
  EXPECT_FALSE(form->editSoundFile->isEnabled());
}

TEST_F(TMainFormTest, ButtonCopyPasteAndSwapWorkOnTheShownSlot) {
  host.Profile(0).NumberOfButtons = 4;
  ButtonAssignment& fire = host.Profile(0).Joystick(0)->Button(PlainButton(1));
  fire.kind = AssignmentKind::Keys;
  fire.keys[0][0] = 0x5A;
  Create();
  auto select = [&](int button) {
    for (int i = 0; i < form->lvButtonList->topLevelItemCount(); ++i) {
      QTreeWidgetItem* row = form->lvButtonList->topLevelItem(i);
      if (row->data(0, Qt::UserRole).toInt() == button) form->lvButtonList->setCurrentItem(row);
    }
  };
  ProfileJoystick& slot0 = *host.Profile(0).Joystick(0);

  // Pasting before any copy clears the row.
  select(PlainButton(1));
  form->Editor().PMButtonListPasteClick();
  EXPECT_FALSE(slot0.Button(PlainButton(1)).IsAssigned());

  fire.kind = AssignmentKind::Keys;
  fire.keys[0][0] = 0x5A;
  form->Editor().PMButtonListCopyClick();
  form->tcJoystick->setCurrentIndex(1);  // a copy crosses slots
  select(PlainButton(2));
  form->Editor().PMButtonListPasteClick();
  EXPECT_EQ(host.Profile(0).Joystick(1)->Button(PlainButton(2)).keys[0][0], 0x5Au);
  EXPECT_EQ(host.Profile(0).Joystick(1)->Button(PlainButton(2)).joystickIndex, 1);

  form->tcJoystick->setCurrentIndex(0);
  select(PlainButton(1));
  form->Editor().PMButtonListSwapClick(PlainButton(1));
  EXPECT_EQ(slot0.Button(PlainButton(1)).keys[0][0], 0x5Au) << "swapping with itself keeps it";
  form->Editor().PMButtonListSwapClick(PlainButton(3));
  EXPECT_FALSE(slot0.Button(PlainButton(1)).IsAssigned());
  EXPECT_EQ(slot0.Button(PlainButton(3)).keys[0][0], 0x5Au);
  EXPECT_EQ(slot0.Button(PlainButton(3)).buttonIndex, PlainButton(3));
  EXPECT_EQ(host.timerDisabled, 0);
}

TEST_F(TMainFormTest, JoystickPasteCopiesAssignmentsButNotTheSlotsNames) {
  ConfigFile& p = host.Profile(0);
  p.Joystick(0)->Button(PlainButton(1)).kind = AssignmentKind::Keys;
  p.Joystick(1)->DefaultDisplayName = "Wheel";
  Create();
  form->Editor().PMJoyCopyToClipboardClick();
  form->tcJoystick->setCurrentIndex(1);
  form->Editor().PMJoyPasteFromClipboardClick();
  EXPECT_EQ(p.Joystick(1)->Button(PlainButton(1)).kind, AssignmentKind::Keys);
  EXPECT_EQ(p.Joystick(1)->Button(PlainButton(1)).joystickIndex, 1);
  EXPECT_EQ(p.Joystick(1)->DefaultDisplayName, "Wheel");

  testing::AnswerNextMessageBox(nullptr, QMessageBox::No);
  form->PMJoyClear->trigger();
  EXPECT_EQ(p.Joystick(1)->Button(PlainButton(1)).kind, AssignmentKind::Keys);
  QString question;
  testing::AnswerNextMessageBox(&question, QMessageBox::Yes);
  form->PMJoyClear->trigger();
  EXPECT_FALSE(p.Joystick(1)->Button(PlainButton(1)).IsAssigned());
  EXPECT_EQ(question,
            QStringLiteral("Joystick [2] のボタン割り当てをすべてクリアしてもよろしいですか？"));
}

TEST_F(TMainFormTest, WizardAssignsKeysRowByRowAndStopsOnExit) {
  ConfigFile& p = host.Profile(0);
  p.DisplayMode = 0;
  p.NumberOfButtons = 2;
  p.modified = false;
  ButtonAssignment& down = p.Joystick(0)->Button(1);
  down.kind = AssignmentKind::Mouse;
  down.repeatRate = 5.0f;
  Create();
  form->lvButtonList->setCurrentItem(form->lvButtonList->topLevelItem(1));  // Stick1 down

  std::vector<QString> prompts;
  int step = 0;
  std::function<void(TWizardDialog*)> answer = [&](TWizardDialog* d) {
    prompts.push_back(d->lblExplanation->text());
    if (step++ == 0) {
      QTest::keyClick(d->Edit1, Qt::Key_S);
    } else if (step == 2) {
      d->btnSkip->click();
    } else {
      d->btnExit->click();
      return;
    }
    testing::WhenModal<TWizardDialog>(answer);
  };
  testing::WhenModal<TWizardDialog>(answer);
  form->Editor().btnConfigWizardClick();

  ASSERT_EQ(prompts.size(), 3u);
  EXPECT_TRUE(prompts[0].startsWith(QStringLiteral("ジョイスティック 1 の ")));
  EXPECT_TRUE(prompts[0].endsWith(QStringLiteral(" に対応させるキーを押してください")));
  EXPECT_EQ(down.kind, AssignmentKind::Keys);
  EXPECT_EQ(down.keys[0][0], 0x53u);
  EXPECT_EQ(down.repeatRate, 0.0f);
  EXPECT_FALSE(p.Joystick(0)->Button(2).IsAssigned()) << "skipped";
  EXPECT_EQ(form->lvButtonList->currentItem(), form->lvButtonList->topLevelItem(3));
  EXPECT_TRUE(p.modified);
}

TEST_F(TMainFormTest, LosingTheFocusToAnotherProgramSavesAModifiedProfile) {
  Create();
  emit qApp->applicationStateChanged(Qt::ApplicationActive);
  emit qApp->applicationStateChanged(Qt::ApplicationInactive);
  EXPECT_TRUE(host.commands.empty()) << "nothing to save";
  host.Profile(0).modified = true;
  emit qApp->applicationStateChanged(Qt::ApplicationActive);
  emit qApp->applicationStateChanged(Qt::ApplicationInactive);
  EXPECT_EQ(host.commands, std::vector<std::string>{"Save 0"});
  EXPECT_FALSE(host.Profile(0).modified);
}

TEST_F(TMainFormTest, TheFirstActivationAfterAFirstStartWelcomesOnce) {
  if (!testing::OnRealDisplay()) GTEST_SKIP() << "window activation needs an X server";
  host.firstStart = true;
  Create();
  int greetings = 0;
  testing::WhenModal<TGreetingDialog>([&](TGreetingDialog* d) {
    ++greetings;
    d->btnClose->click();
  });
  form->show();
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitFor([&] { return greetings == 1; }, 3000));

  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !form->HighlightActive(); }, 3000));
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitFor([&] { return form->HighlightActive(); }, 3000));
  QTest::qWait(100);
  EXPECT_EQ(greetings, 1);
}

}  // namespace
}  // namespace brevanto
