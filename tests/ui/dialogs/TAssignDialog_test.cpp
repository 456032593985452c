#include "ui/dialogs/TAssignDialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

#include "core/engine/AssignmentLine.h"
#include "core/input/VirtualButton.h"
#include "support/AssignDialogHost.h"
#include "support/UiTestSupport.h"

namespace brevanto {
namespace {

using testing::TestAssignDialogHost;

constexpr int kButton = kFirstPlainButton + 2;  // Button 3

class TAssignDialogTest : public ::testing::Test {
 protected:
  // The record of slot 0 read from a profile line, loaded into a new dialog.
  TAssignDialog& Open(const std::string& line, int slot = 0) {
    ButtonAssignment& r = host.Record(slot, kButton);
    ReadLine(r, line, ConfigFile::kFileVersion);
    dialog = std::make_unique<TAssignDialog>(host, slot);
    dialog->Load(kButton, "[3] Button");
    return *dialog;
  }
  ButtonAssignment& record(int slot = 0) { return host.Record(slot, kButton); }

  // Leaving an edit, as a move of the focus elsewhere does.
  static void Leave(QLineEdit* edit) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(edit, &out);
  }

  TestAssignDialogHost host;
  std::unique_ptr<TAssignDialog> dialog;
};

struct RoundTrip {
  const char* name;
  const char* line;
  TAssignDialog::Page page;
};

void PrintTo(const RoundTrip& c, std::ostream* os) {
  *os << c.name;
}

class AssignDialogRoundTrip : public TAssignDialogTest,
                              public ::testing::WithParamInterface<RoundTrip> {};

// Every kind and every switching mode comes back from the dialog as it went
// in. Inputs 2 to 4 and the fields the page does not show ride along.
TEST_P(AssignDialogRoundTrip, StoresTheRecordItLoaded) {
  TAssignDialog& d = Open(GetParam().line);
  ButtonAssignment& r = record();
  r.keys[3] = {0x51, 0x52, 0, 0};
  r.comment = r.kind == AssignmentKind::PasteText ? "" : "kept";
  d.Load(kButton, "[3] Button");
  ButtonAssignment before;
  before.Copy(r);
  EXPECT_EQ(d.PageControl1->currentIndex(), GetParam().page);
  EXPECT_EQ(d.windowTitle(), QStringLiteral("ジョイスティック 1 の [3] Button の設定"));

  d.btnOKClick();
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(WriteLine(r), WriteLine(before));
  EXPECT_TRUE(static_cast<const AssignmentFields&>(r) == before);
  EXPECT_TRUE(host.profile.modified);
  EXPECT_EQ(host.changes, 1);
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, AssignDialogRoundTrip,
    ::testing::Values(
        RoundTrip{"none", "0", TAssignDialog::kKeyboard},
        RoundTrip{"keys", "1, A2:43:00:00, 0.000, 0, 0", TAssignDialog::kKeyboard},
        RoundTrip{"keys, repeat, toggle, delay", "1, 41:00:00:00, 10.000, 1, 300",
                  TAssignDialog::kKeyboard},
        RoundTrip{"keys, one every 2.5 s", "1, 20:00:00:00, -2.500, 0, 0",
                  TAssignDialog::kKeyboard},
        RoundTrip{"mouse right",
                  "2,   50,   0,   0, 0, 0, 0, 0.000, 0, 95, 1.0, 100, 0, 0, 0,    0",
                  TAssignDialog::kMouse},
        RoundTrip{"mouse up-left, everything",
                  "2,  -30, -30,  10, 1, 1, 1, 5.000, 1, 95, 2.5, 150, 200, 1, 1,  -20",
                  TAssignDialog::kMouse},
        RoundTrip{"mouse, a slow-down alone",
                  "2,    0,   0,   0, 0, 0, 0, 0.000, 0, 95, 1.0,  40, 0, 0, 0,    0",
                  TAssignDialog::kMouse},
        RoundTrip{"joystick shift", "5, 2, 0", TAssignDialog::kSpecial},
        RoundTrip{"joystick shift, delayed", "5, 1, 700", TAssignDialog::kSpecial},
        RoundTrip{"profile switch", "6, \"Shooter\", 0", TAssignDialog::kSpecial},
        RoundTrip{"profile switch, delayed", "6, \"Puzzle\", 2000", TAssignDialog::kSpecial},
        RoundTrip{"program", "9, \"/usr/bin/xterm\", |-e top|/tmp|", TAssignDialog::kSpecial},
        RoundTrip{"text", "10, ##Hello\\nWorld ${yyyy}", TAssignDialog::kText},
        RoundTrip{"absolute target", "8, 25.500000, 75.250000, 0, 0, 1, 0, 0, 0, 1, 0.000, 0, 0",
                  TAssignDialog::kMousePosition},
        RoundTrip{"absolute range x",
                  "8, 50.000000, 50.000000, 30, 0, 0, 1, 1, 0, 0, 2.000, 1, 100",
                  TAssignDialog::kMousePosition},
        RoundTrip{"absolute range y", "8, 10.000000, 90.000000, 0, -45, 0, 0, 0, 1, 0, 0.000, 0, 0",
                  TAssignDialog::kMousePosition},
        // The cycling modes keep their counter reset and their auto-repeat;
        // their hold time is not theirs to show and stays at its default.
        RoundTrip{"multi 1 cycle of two",
                  "7, 1, 0, 41:0:0:0, 42:0:0:0, 0:0:0:0, 0:0:0:0, 95, 100, 4.000, 1, 0, 20, 300",
                  TAssignDialog::kKeyboardMulti},
        RoundTrip{"multi 2 cycle of three",
                  "7, 2, 0, 41:0:0:0, 42:0:0:0, 43:0:0:0, 0:0:0:0, 95, 100, 0.000, 0, 0, 20, 0",
                  TAssignDialog::kKeyboardMulti},
        RoundTrip{"multi 3 press length",
                  "7, 3, 400, 41:A0:0:0, 42:0:0:0, 43:0:0:0, 0:0:0:0, 95, 100, 0.000, 0, 0, 35, 0",
                  TAssignDialog::kKeyboardMulti},
        RoundTrip{"multi 4 analog level",
                  "7, 4, 0, 41:0:0:0, 42:0:0:0, 43:0:0:0, 0:0:0:0, 40, 80, 0.000, 0, 0, 20, 0",
                  TAssignDialog::kKeyboardMulti},
        RoundTrip{"multi 5 cycle of four",
                  "7, 5, 0, 41:0:0:0, 42:0:0:0, 43:0:0:0, 44:0:0:0, 95, 100, 0.500, 0, 250, 20, 0",
                  TAssignDialog::kKeyboardMulti},
        RoundTrip{"multi 6 release",
                  "7, 6, 0, 41:0:0:0, 42:0:0:0, 0:0:0:0, 0:0:0:0, 95, 100, 0.000, 0, 0, 60, 0",
                  TAssignDialog::kKeyboardMulti},
        RoundTrip{"multi 7 taps",
                  "7, 7, 350, 41:0:0:0, 42:0:0:0, 43:0:0:0, 44:0:0:0, 95, 100, 0.000, 0, 0, 25, 0",
                  TAssignDialog::kKeyboardMulti},
        RoundTrip{"multi 8 sequence",
                  "7, 8, 0, 41:0:0:0, 42:0:0:0, 43:0:0:0, 44:0:0:0, 95, 100, 0.000, 0, 0, 45, 0",
                  TAssignDialog::kKeyboardMulti}),
    [](const ::testing::TestParamInfo<RoundTrip>& info) {
      std::string name = info.param.name;
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

TEST_F(TAssignDialogTest, TheMultipleInputPageEnablesWhatTheModeUses) {
  TAssignDialog& d = Open("0");
  d.PageControl1->setCurrentIndex(TAssignDialog::kKeyboardMulti);
  const struct {
    QRadioButton* mode;
    bool row3, row4, counter, hold, taps, delay, thresholds, common;
  } cases[] = {
      {d.rbKeyMultiSwitch2, false, false, true, false, false, false, false, true},
      {d.rbKeyMultiSwitch3, true, false, true, false, false, false, false, true},
      {d.rbKeyMultiSwitch4, true, true, true, false, false, false, false, true},
      {d.rbKeyDelayedSwitch, true, false, false, true, false, true, false, false},
      {d.rbKeyAnalogSwitch, true, false, false, false, false, false, true, false},
      {d.rbKeyReleaseSwitch, false, false, false, true, false, false, false, false},
      {d.rbKeyRepeatSwitch, true, true, false, true, true, false, false, false},
      {d.rbKeyMultiSequence, true, true, false, true, false, false, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode->objectName().toStdString());
    c.mode->click();
    EXPECT_EQ(d.MultiKey[2][0]->isEnabled(), c.row3);
    EXPECT_EQ(d.lblKey[2]->isEnabled(), c.row3);
    EXPECT_EQ(d.MultiKey[3][3]->isEnabled(), c.row4);
    EXPECT_EQ(d.editCounterResetDuration->isEnabled(), c.counter);
    EXPECT_EQ(d.editMinimumHoldDuration->isEnabled(), c.hold);
    EXPECT_EQ(d.editKeyRepeatSwitch->isEnabled(), c.taps);
    EXPECT_EQ(d.editKeySwitchDelay->isEnabled(), c.delay);
    EXPECT_EQ(d.editKeyAnalogThreshold1->isEnabled(), c.thresholds);
    EXPECT_EQ(d.gbAutoRepeat->isVisibleTo(&d), c.common);
  }
  // The other pages: the group on keyboard and mouse pages, no comment for a text.
  for (int page = 0; page < d.PageControl1->count(); ++page) {
    d.PageControl1->setCurrentIndex(page);
    if (page == TAssignDialog::kKeyboardMulti) continue;
    const bool common = page == TAssignDialog::kKeyboard || page == TAssignDialog::kMouse ||
                        page == TAssignDialog::kMousePosition;
    EXPECT_EQ(d.gbAutoRepeat->isVisibleTo(&d), common) << "page " << page;
    EXPECT_EQ(d.editComment->isVisibleTo(&d), page != TAssignDialog::kText) << "page " << page;
  }
}

TEST_F(TAssignDialogTest, AKeyboardPageWithoutAFirstKeyStoresNoneAndKeepsTheCodes) {
  TAssignDialog& d = Open("1, 41:42:00:00, 0.000, 0, 0");
  d.SpecialKeyChosen(d.Key[0], 0);
  EXPECT_EQ(d.Key[0]->text(), QStringLiteral("None"));
  d.btnOKClick();
  EXPECT_EQ(record().kind, AssignmentKind::None);
  EXPECT_EQ(record().keys[0][0], 0u);
  EXPECT_EQ(record().keys[0][1], 0x42u);
}

TEST_F(TAssignDialogTest, AMousePageWithOnlyTheSpeedMovedStoresNone) {
  TAssignDialog& d = Open("0");
  d.PageControl1->setCurrentIndex(TAssignDialog::kMouse);
  d.tbMouseSpeed->setValue(80);
  EXPECT_EQ(d.lblMouseSpeed->text(), QStringLiteral("80"));
  d.btnOKClick();
  EXPECT_EQ(record().kind, AssignmentKind::None);

  // A direction makes it a movement at that speed.
  d.Load(kButton, "[3] Button");
  d.PageControl1->setCurrentIndex(TAssignDialog::kMouse);
  d.cbMouseLeft->setChecked(true);
  d.cbMouseRight->setChecked(true);
  EXPECT_FALSE(d.cbMouseLeft->isChecked()) << "a direction excludes its opposite";
  d.tbMouseSpeed->setValue(80);
  d.btnOKClick();
  EXPECT_EQ(record().kind, AssignmentKind::Mouse);
  EXPECT_EQ(record().HMove, 80);
}

TEST_F(TAssignDialogTest, RepeatEditsLimitAndShortenTheirValue) {
  const struct {
    const char* name;
    bool perSecond;
    const char* typed;
    const char* shown;
    float value;
  } cases[] = {
      {"more than 30 per second", true, "45", "30", 30.0f},
      {"exactly 30", true, "30", "30", 30.0f},
      {"trailing zeros", true, "10.000", "10", 10.0f},
      {"below 0.033 seconds", false, "0.01", "0.033", -0.033f},
      {"zero seconds", false, "0", "0.033", -0.033f},
      {"a trailing zero", false, "2.500", "2.5", -2.5f},
  };
  TAssignDialog& d = Open("1, 41:00:00:00, 0.000, 0, 0");
  d.cbAutoRepeat->click();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QLineEdit* edit = c.perSecond ? d.editAutoRepeatPerSec : d.editAutoRepeatPeriod;
    QLineEdit* other = c.perSecond ? d.editAutoRepeatPeriod : d.editAutoRepeatPerSec;
    other->setText(QStringLiteral("7"));
    edit->setText(QString::fromLatin1(c.typed));
    Leave(edit);
    EXPECT_EQ(edit->text().toStdString(), c.shown);
    EXPECT_TRUE(other->text().isEmpty()) << "one way of giving the rate at a time";
    EXPECT_FLOAT_EQ(d.RepeatValue(), c.value);
  }
  d.editAutoRepeatPerSec->setText(QStringLiteral("99"));
  Leave(d.editAutoRepeatPerSec);
  d.btnOKClick();
  EXPECT_FLOAT_EQ(record().repeatRate, 30.0f);

  // Letters never get in; emptying both turns auto-repeat off.
  d.Load(kButton, "[3] Button");
  d.editAutoRepeatPerSec->setFocus();
  QTest::keyClicks(d.editAutoRepeatPerSec, QStringLiteral("x2"));
  EXPECT_EQ(d.editAutoRepeatPerSec->text(), QStringLiteral("302"));
  d.editAutoRepeatPerSec->clear();
  Leave(d.editAutoRepeatPerSec);
  EXPECT_FALSE(d.cbAutoRepeat->isChecked());
  EXPECT_EQ(d.RepeatValue(), 0.0f);
}

TEST_F(TAssignDialogTest, OkWithAutoRepeatButNoRateIsRefused) {
  TAssignDialog& d = Open("1, 41:00:00:00, 0.000, 0, 0");
  d.cbAutoRepeat->click();
  ASSERT_TRUE(d.editAutoRepeatPerSec->isEnabled());
  QString message;
  testing::AnswerNextMessageBox(&message);
  d.btnOKClick();
  EXPECT_EQ(message, QStringLiteral(
                         "自動連射機能を使うためには、1秒間に何回連射するのか指定してください。"));
  EXPECT_EQ(d.result(), 0) << "the dialog stays open";
  EXPECT_EQ(host.changes, 0);
  EXPECT_FALSE(host.profile.modified);

  d.btnGoToNextClick();  // stepping on does not check
  EXPECT_EQ(d.result(), TAssignDialog::kGoToNext);
  EXPECT_EQ(record().repeatRate, 0.0f);
}

TEST_F(TAssignDialogTest, ANumberEditWithoutANumberIsRefusedAndNothingIsStored) {
  TAssignDialog& d =
      Open("7, 3, 400, 41:0:0:0, 42:0:0:0, 0:0:0:0, 0:0:0:0, 95, 100, 0.000, 0, 0, 35, 0");
  d.show();
  d.editKeySwitchDelay->setText(QStringLiteral("4oo"));
  d.rbKeyAnalogSwitch->click();  // the page reads the thresholds instead
  d.rbKeyDelayedSwitch->click();
  QString message;
  testing::AnswerNextMessageBox(&message);
  d.btnOKClick();
  EXPECT_EQ(message, QStringLiteral("4ooは数字ではありません"));
  EXPECT_EQ(record().switchDelay, 400);
  EXPECT_EQ(record().kind, AssignmentKind::MultiInput);
  EXPECT_EQ(host.changes, 0);
  EXPECT_EQ(d.focusWidget(), d.editKeySwitchDelay);

  // Leaving the edit tells at once; a centre edit has its own message.
  message.clear();
  d.PageControl1->setCurrentIndex(TAssignDialog::kMousePosition);
  d.editMouseCenterX->setText(QStringLiteral("abc"));
  testing::AnswerNextMessageBox(&message);
  Leave(d.editMouseCenterX);
  for (int i = 0; i < 200 && message.isEmpty(); ++i) QTest::qWait(10);
  EXPECT_EQ(message, QStringLiteral("0.0 以上の数字を入れてください"));
  d.editMouseCenterX->setText(QStringLiteral("-5"));
  d.btnGoToPrevClick();
  EXPECT_EQ(d.result(), TAssignDialog::kGoToPrev) << "a negative centre parses";
  EXPECT_FLOAT_EQ(record().absCenterX, -5.0f);
  d.hide();
}

TEST_F(TAssignDialogTest, AMissingProfileOpensAsNone) {
  TAssignDialog& d = Open("6, \"Gone\", 500");
  EXPECT_EQ(d.cbSwitchProfile->currentIndex(), 0);
  EXPECT_EQ(d.cbSwitchProfile->currentText(), QStringLiteral("None"));
  EXPECT_EQ(d.cbSwitchProfile->count(), 4);
  d.btnOKClick();
  EXPECT_EQ(record().kind, AssignmentKind::None);
}

TEST_F(TAssignDialogTest, TheShiftListOffersOnlySlotsAboveTheEditedOne) {
  TAssignDialog& d = Open("5, 0, 0", 1);
  EXPECT_EQ(d.cbShiftKey->count(), 2);
  EXPECT_EQ(d.cbShiftKey->itemText(1), QStringLiteral("[3] Pad"));
  EXPECT_EQ(d.cbShiftKey->currentIndex(), 0) << "a target below opens as None";

  // A target beyond the profile's slots is not offered either.
  ReadLine(record(1), "5, 7, 0", ConfigFile::kFileVersion);
  d.Load(kButton, "[3] Button");
  EXPECT_EQ(d.cbShiftKey->currentIndex(), 0);

  d.cbShiftKey->setCurrentIndex(1);
  d.cbShiftKeyDelayed->setChecked(true);
  EXPECT_TRUE(d.editShiftKeyDelay->isEnabled());
  d.editShiftKeyDelay->setText(QStringLiteral("900"));
  d.btnOKClick();
  EXPECT_EQ(record(1).kind, AssignmentKind::JoystickSwitch);
  EXPECT_EQ(record(1).targetJoystick, 2);
  EXPECT_EQ(record(1).switchDelay, 900);
}

TEST_F(TAssignDialogTest, PasteTextKeepsItsLineBreaksAsBackslashN) {
  TAssignDialog& d = Open("0  ##note");
  d.PageControl1->setCurrentIndex(TAssignDialog::kText);
  d.memoText->setPlainText(QStringLiteral("first\nsecond\\nthird"));
  d.btnOKClick();
  EXPECT_EQ(record().kind, AssignmentKind::PasteText);
  EXPECT_EQ(record().pasteText, "first\\nsecond\\nthird");
  EXPECT_EQ(record().comment, "") << "a text line has no comment";
  d.Load(kButton, "[3] Button");
  EXPECT_EQ(d.memoText->toPlainText(), QStringLiteral("first\nsecond\nthird"));
}

TEST_F(TAssignDialogTest, MovingOneRangeBarResetsTheOther) {
  TAssignDialog& d = Open("8, 50.000000, 50.000000, 30, 0, 0, 0, 0, 0, 0, 0.000, 0, 0");
  EXPECT_TRUE(d.rbMouseAbsRange->isChecked());
  EXPECT_EQ(d.lblMouseAbsCenter->text(), QStringLiteral("中心座標"));
  d.tbMouseAbsRangeY->setValue(-20);
  EXPECT_EQ(d.tbMouseAbsRangeX->value(), 0);
  EXPECT_EQ(d.lblMouseAbsY->text(), QStringLiteral("-20"));
  EXPECT_EQ(d.lblMouseAbsX->text(), QStringLiteral("0"));
  d.tbMouseAbsRangeX->setValue(15);
  EXPECT_EQ(d.tbMouseAbsRangeY->value(), 0);
  EXPECT_EQ(d.tbMouseAbsRangeX->value(), 15);

  d.rbMouseAbsTarget->click();
  EXPECT_FALSE(d.tbMouseAbsRangeX->isEnabled());
  EXPECT_EQ(d.lblMouseAbsCenter->text(), QStringLiteral("目標座標"));
  d.btnOKClick();
  EXPECT_EQ(record().absRangeX, 0) << "a target has no range";
}

TEST_F(TAssignDialogTest, LabelsFollowTheirBars) {
  TAssignDialog& d = Open("0");
  d.tbAccelerationFactor->setValue(25);
  d.tbAnalogFactor->setValue(150);
  d.tbMouseWheelV->setValue(30);
  d.tbMouseWheelH->setValue(-40);
  EXPECT_EQ(d.lblAccelerationFactor->text(), QStringLiteral("x 2.5"));
  EXPECT_EQ(d.lblAnalogFactor->text(), QStringLiteral("150%"));
  EXPECT_EQ(d.lblMouseWheelV->text(), QStringLiteral("-30"));
  EXPECT_EQ(d.lblMouseWheelH->text(), QStringLiteral("-40"));
  d.btnAnalogFactorDefault->click();
  EXPECT_EQ(d.tbAnalogFactor->value(), 100);
}

TEST_F(TAssignDialogTest, ClearResetsTheControlsAndOkStoresNone) {
  TAssignDialog& d = Open("9, \"/usr/bin/xterm\", |-e top|/tmp|  ##term");
  d.cbAutoRepeat->setChecked(true);
  d.btnClearClick();
  EXPECT_EQ(d.PageControl1->currentIndex(), TAssignDialog::kKeyboard);
  EXPECT_FALSE(d.cbAutoRepeat->isChecked());
  EXPECT_FALSE(d.editAutoRepeatDelay->isEnabled());
  EXPECT_EQ(d.editAutoRepeatDelay->text(), QStringLiteral("700"));
  EXPECT_TRUE(d.rbKeyMultiSwitch2->isChecked());
  EXPECT_EQ(d.editMouseCenterX->text(), QStringLiteral("0.50"));
  EXPECT_EQ(d.tbMouseSpeed->value(), 50);
  EXPECT_EQ(d.MultiKey[3][3]->text(), QStringLiteral("None"));
  EXPECT_TRUE(d.editComment->text().isEmpty());
  EXPECT_EQ(d.editExternalProgram->text(), QStringLiteral("/usr/bin/xterm"))
      << "the program edits are left";
  d.btnOKClick();
  EXPECT_EQ(record().kind, AssignmentKind::None);
  EXPECT_EQ(record().comment, "");
}

TEST_F(TAssignDialogTest, ThePopupAndTheSpecialKeyListStoreTheirCodes) {
  TAssignDialog& d = Open("0");
  EXPECT_EQ(d.cbKeySelect->count(), 40);
  const QList<QAction*> items = d.PMSpecialKeys->actions();
  ASSERT_GE(items.size(), 3);
  EXPECT_EQ(items[0]->text(), QStringLiteral("Clear"));
  QMenu* buttons = items[2]->menu();
  ASSERT_NE(buttons, nullptr);
  EXPECT_EQ(buttons->title(), QStringLiteral("他のボタン設定を起動"));
  ASSERT_EQ(buttons->actions().size(), 64);
  EXPECT_EQ(buttons->actions()[11]->text(), QStringLiteral("[12] Button"));
  EXPECT_EQ(items.size(), 3 + 40);
  QMenu* up = items[3]->menu();
  ASSERT_NE(up, nullptr);
  EXPECT_EQ(up->title(), QStringLiteral("マウスカーソル↑"));
  ASSERT_EQ(up->actions().size(), 15);
  EXPECT_EQ(up->actions()[4]->text(), QStringLiteral("10"));

  // The popup acts on the edit it was opened on.
  QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(2, 2), QPoint(2, 2));
  QCoreApplication::sendEvent(d.MultiKey[1][2], &menu);
  up->actions()[4]->trigger();
  d.PMSpecialKeys->hide();
  EXPECT_EQ(d.WorkingKeys()[6], 0x40Au);
  EXPECT_EQ(d.MultiKey[1][2]->text(), QStringLiteral("Mouse:↑(10)"));
  buttons->actions()[11]->trigger();
  EXPECT_EQ(d.WorkingKeys()[6], 0x80Bu);
  items[0]->trigger();
  EXPECT_EQ(d.WorkingKeys()[6], 0u);

  d.cbKeySelect->setCurrentIndex(21);  // Numpad Enter
  d.cbKeyNum->setCurrentIndex(2);
  d.btnKeyAssignClick();
  EXPECT_EQ(d.WorkingKeys()[2], 0x101u);
  EXPECT_EQ(d.Key[2]->text(), QStringLiteral("Numpad Enter"));
  d.cbKeySelect->setCurrentIndex(0);  // a mouse entry without a speed
  d.btnKeyAssignClick();
  EXPECT_EQ(d.WorkingKeys()[2], 0x400u);
}

TEST_F(TAssignDialogTest, KeyEditsTakeTabEnterAndEscapeAsKeysAndSwallowCharacters) {
  TAssignDialog& d = Open("0");
  d.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
  d.Key[1]->setFocus();
  QTest::keyClick(d.Key[1], Qt::Key_Tab);
  EXPECT_EQ(d.WorkingKeys()[1], 0x09u);
  EXPECT_EQ(d.Key[1]->text(), QStringLiteral("Tab"));
  EXPECT_EQ(d.focusWidget(), d.Key[2]) << "on to the next control";

  QTest::keyClick(d.Key[2], Qt::Key_Escape);
  EXPECT_EQ(d.WorkingKeys()[2], 0x1Bu);
  EXPECT_TRUE(d.isVisible()) << "Escape is a key, not Cancel";
  QTest::keyClick(d.Key[3], Qt::Key_Return);
  EXPECT_EQ(d.WorkingKeys()[3], 0x0Du);
  EXPECT_TRUE(d.isVisible());

  d.Key[0]->setFocus();
  QTest::keyClick(d.Key[0], Qt::Key_Tab);
  EXPECT_EQ(d.WorkingKeys()[0], 0x09u);
  EXPECT_EQ(d.focusWidget(), d.btnOK) << "the first key leads to OK";

  d.MultiKey[0][0]->setFocus();
  QTest::keyClicks(d.MultiKey[0][0], QStringLiteral("q"));
  EXPECT_EQ(d.WorkingKeys()[0], 0x51u);
  EXPECT_EQ(d.MultiKey[0][0]->text(), QStringLiteral("Q")) << "the key's name, no typed text";
  d.hide();
}

TEST_F(TAssignDialogTest, TheVariablesLinkOpensItsPage) {
  TAssignDialog& d = Open("10, ##text");
  d.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
  QTest::mouseClick(d.lblSupportedVariables, Qt::LeftButton);
  d.hide();
  EXPECT_EQ(host.pages, std::vector<std::string>{"/ja/posts/pasting-text-and-variables"});
}

}  // namespace
}  // namespace brevanto
