#include "ui/dialogs/TVibrationDialog.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include "core/profile/ConfigFile.h"
#include "support/UiTestSupport.h"

namespace brevanto {
namespace {

TEST(TVibrationDialogTest, LabelsFollowTheBars) {
  TVibrationDialog dialog;
  dialog.SetValues(0, 0, "0");
  EXPECT_EQ(dialog.lblVibration1->text(), QStringLiteral("0 %"));
  dialog.tbVibration1->setValue(35);
  dialog.tbVibration2->setValue(100);
  EXPECT_EQ(dialog.lblVibration1->text(), QStringLiteral("35 %"));
  EXPECT_EQ(dialog.lblVibration2->text(), QStringLiteral("100 %"));
}

TEST(TVibrationDialogTest, OkStoresTheProfilesOptionsAndCancelKeepsThem) {
  ConfigFile profile;
  profile.VibrationSpeed1 = 40;
  profile.VibrationSpeed2 = 60;
  profile.VibrationDuration = 500;

  TVibrationDialog dialog;
  testing::WhenModal<TVibrationDialog>([](TVibrationDialog* d) {
    EXPECT_EQ(d->tbVibration1->value(), 40);
    EXPECT_EQ(d->tbVibration2->value(), 60);
    EXPECT_EQ(d->editVibrationDuration->text(), QStringLiteral("500"));
    d->tbVibration1->setValue(10);
    d->editVibrationDuration->setText(QStringLiteral("750"));
    d->btnCancel->click();
  });
  EXPECT_FALSE(dialog.EditProfile(profile));
  EXPECT_EQ(profile.VibrationSpeed1, 40);
  EXPECT_EQ(profile.VibrationDuration, 500);

  testing::WhenModal<TVibrationDialog>([](TVibrationDialog* d) {
    d->tbVibration1->setValue(10);
    d->tbVibration2->setValue(90);
    d->editVibrationDuration->setText(QStringLiteral(" 750 "));
    d->btnOK->click();
  });
  EXPECT_TRUE(dialog.EditProfile(profile));
  EXPECT_EQ(profile.VibrationSpeed1, 10);
  EXPECT_EQ(profile.VibrationSpeed2, 90);
  EXPECT_EQ(profile.VibrationDuration, 750);
}

TEST(TVibrationDialogTest, ADurationThatIsNoIntegerKeepsTheDialogOpen) {
  ConfigFile profile;
  profile.VibrationDuration = 500;
  TVibrationDialog dialog;
  QString message;
  bool stayedOpen = false;
  testing::WhenModal<TVibrationDialog>([&](TVibrationDialog* d) {
    d->editVibrationDuration->setText(QStringLiteral("12ms"));
    testing::AnswerNextMessageBox(&message);
    d->btnOK->click();
    stayedOpen = d->isVisible();
    EXPECT_EQ(d->focusWidget(), d->editVibrationDuration);
    d->editVibrationDuration->setText(QStringLiteral("-"));
    testing::AnswerNextMessageBox(nullptr);
    d->btnOK->click();
    d->btnCancel->click();
  });
  EXPECT_FALSE(dialog.EditProfile(profile));
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(message, QStringLiteral("'12ms' is not a valid integer value"));
  EXPECT_EQ(profile.VibrationDuration, 500);
}

}  // namespace
}  // namespace brevanto
