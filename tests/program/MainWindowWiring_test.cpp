// The main window on the real program: what its commands and edits do to
// the processing and the profiles the program runs.

#include <gtest/gtest.h>
#include <signal.h>

#include <cerrno>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTreeWidget>
#include <functional>
#include <string>
#include <vector>

#include "core/input/VirtualButton.h"
#include "core/profile/ConfigFile.h"
#include "core/settings/AtomicFile.h"
#include "program/ProgramInProcess.h"
#include "support/UiTestSupport.h"
#include "ui/TMainForm.h"

namespace brevanto::testing {
namespace {

constexpr char kPausedMark[] = " (一時停止中)";

class MainWindowWiring : public ProgramInProcess {
 protected:
  TMainForm& Form() { return *program->Form(); }
  bool ButtonOnePressed() const {
    return program->PressedStates()[0].pressed[static_cast<std::size_t>(PlainButton(1))];
  }
  // Whether the cycle follows the blinking button within the time.
  bool CycleRuns(int waitMs) {
    const bool before = ButtonOnePressed();
    return ServeUntil([&] { return ButtonOnePressed() != before; }, waitMs);
  }
  std::vector<std::string> RowCaptions() {
    std::vector<std::string> captions;
    for (int i = 0; i < Form().lvButtonList->topLevelItemCount(); ++i) {
      captions.push_back(Form().lvButtonList->topLevelItem(i)->text(0).toStdString());
    }
    return captions;
  }
};

TEST_F(MainWindowWiring, UserPauseSurvivesAThresholdChangeAndEveryOtherEdit) {
  run.WriteData("Pause.cfg",
                "[General]\r\nFileVersion=70\r\nNumberOfJoysticks=1\r\nNumberOfButtons=8\r\n");
  // A controller whose button 1 blinks every 5 cycles (80 ms) for a minute:
  // the pressed states follow it while the cycle runs.
  std::string pad = "device 1 dinput\n";
  for (int tick = 1; tick < 3750; tick += 5) {
    pad += std::to_string(tick) + " 1 b1 " + std::to_string((tick / 5) % 2) + "\n";
  }
  run.Write("pad.txt", pad + "end 3750\n");
  ASSERT_TRUE(Start({"--virtual-pad=" + run.Path("pad.txt")}));
  ASSERT_TRUE(ServeUntil([&] { return program->DetectedDeviceCount() > 0; }));
  ASSERT_TRUE(CycleRuns(5000)) << "the cycle does not run";

  Form().MMDisableJoystick->trigger();
  const struct {
    const char* name;
    std::function<void(TMainForm&)> edit;
  } edits[] = {
      {"threshold", [](TMainForm& f) { f.tbThreshold1->setValue(f.tbThreshold1->value() + 3); }},
      {"key output method", [](TMainForm& f) { f.cbKeySendMode->setCurrentIndex(2); }},
      {"repeat option", [](TMainForm& f) { f.cbRepeatSameKeyInSequence->click(); }},
      {"diagonal option", [](TMainForm& f) { f.cbUseDiagonalInput1->click(); }},
      {"alias dialog",
       [](TMainForm& f) {
         WhenModal<QDialog>([](QDialog* dialog) { dialog->accept(); });
         f.btnButtonAlias->click();
       }},
      {"number of joysticks",
       [](TMainForm& f) {
         f.editNumJoystick->setText(QStringLiteral("2"));
         f.btnApplyNumJoysticks->click();
       }},
      {"device detection", [](TMainForm& f) { f.btnDetect->click(); }},
  };
  for (const auto& e : edits) {
    SCOPED_TRACE(e.name);
    e.edit(Form());
    EXPECT_FALSE(CycleRuns(400)) << "the edit ended the pause";
    EXPECT_TRUE(Form().MMDisableJoystick->isChecked());
    EXPECT_TRUE(Form().PMTaskTrayDisableJoystick->isChecked());
    EXPECT_NE(Form().Caption().find(kPausedMark), std::string::npos) << Form().Caption();
  }

  // Only the user lifts it.
  Form().PMTaskTrayDisableJoystick->trigger();
  EXPECT_FALSE(Form().MMDisableJoystick->isChecked());
  EXPECT_EQ(Form().Caption().find(kPausedMark), std::string::npos) << Form().Caption();
  EXPECT_TRUE(CycleRuns(5000));
}

// A save from the menu that the disk refuses: the file keeps its content,
// the profile its changes, and both the log and a message box say so. A
// write past the file size limit fails the same way instead of ending the
// program.
TEST_F(MainWindowWiring, AFailedSaveFromTheMenuKeepsTheFileAndTellsTheUser) {
  const std::string old =
      "[General]\r\nFileVersion=70\r\nNumberOfJoysticks=1\r\nNumberOfButtons=8\r\n";
  run.WriteData("Race.cfg", old);
  ASSERT_TRUE(Start());
  program->CurrentProfile()->modified = true;
  {
    ScopedSaveFailure full(SaveStep::Write, ENOSPC);
    QString text;
    AnswerNextMessageBox(&text);
    Form().MMSaveConfiguration->trigger();
    EXPECT_EQ(text, QString::fromStdString("設定ファイルを保存できませんでした。\n" +
                                           run.DataDir() + "Race.cfg"));
  }
  EXPECT_EQ(ReadText(run.DataDir() + "Race.cfg"), old);
  EXPECT_TRUE(program->CurrentProfile()->modified);
  const std::string log = ReadText(run.LogPath());
  EXPECT_NE(log.find("Failed to write \"" + run.DataDir() + "Race.cfg\""), std::string::npos);
  EXPECT_NE(log.find("Config file \"Race\" not saved; it is still marked modified"),
            std::string::npos);

  struct sigaction action {};
  ::sigaction(SIGXFSZ, nullptr, &action);
  EXPECT_EQ(action.sa_handler, SIG_IGN) << "a file size limit would end the program";

  Form().MMSaveConfiguration->trigger();
  EXPECT_FALSE(program->CurrentProfile()->modified);
  EXPECT_NE(ReadText(run.DataDir() + "Race.cfg"), old);
}

TEST_F(MainWindowWiring, TabTemplateLabelsShowWithoutAController) {
  run.WriteData("Pad.cfg",
                "[General]\r\nFileVersion=70\r\nNumberOfJoysticks=2\r\nNumberOfButtons=4\r\n"
                "DisplayMode=0\r\n\r\n[Joystick 2]\r\nDefaultTemplateId=XBOX\r\n");
  ASSERT_TRUE(Start());
  ASSERT_EQ(program->DetectedDeviceCount(), 0) << "a controller is attached to this machine";
  const std::vector<std::string> sticks = {"Stick1: ←", "Stick1: →", "Stick1: ↑", "Stick1: ↓"};
  std::vector<std::string> plain = sticks;
  for (int b = 1; b <= 4; ++b) plain.push_back("[" + std::to_string(b) + "] Button");
  EXPECT_EQ(RowCaptions(), plain) << "the first tab has no template";

  Form().tcJoystick->setCurrentIndex(1);
  std::vector<std::string> labelled = sticks;
  for (const char* label : {"[1] A", "[2] B", "[3] X", "[4] Y"}) labelled.push_back(label);
  EXPECT_EQ(RowCaptions(), labelled);
}

}  // namespace
}  // namespace brevanto::testing
