// The device configuration dialog of the real program, used as a new user
// would: a controller attached, its settings changed in the dialog, the
// dialog closed.

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QSlider>
#include <set>
#include <string>

#include "core/device/DeviceConfig.h"
#include "core/ports/WindowTracker.h"
#include "program/ProgramInProcess.h"
#include "support/UiTestSupport.h"
#include "ui/TMainForm.h"
#include "ui/dialogs/DevicePreviews.h"
#include "ui/dialogs/TDeviceConfigDialog.h"
// Xlib's macros clash with Qt's names: after every Qt header.
// clang-format off
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include "support/TestWindow.h"
// clang-format on

namespace brevanto::testing {
namespace {

bool KeyDown(Display* display, KeySym key) {
  char keys[32] = {};
  XQueryKeymap(display, keys);
  const KeyCode code = XKeysymToKeycode(display, key);
  return (keys[code / 8] >> (code % 8)) & 1;
}

class DeviceDialogWiring : public ProgramInProcess {
 protected:
  bool InFront(QWidget& window) {
    window.activateWindow();
    return ServeUntil([&] {
      return program->ForegroundTracker()->ForegroundWindow() ==
             static_cast<WindowId>(window.winId());
    });
  }
};

TEST_F(DeviceDialogWiring, PreviewFollowsTheStickWithoutOutputAndSettingsApplyOnClose) {
  Display* display = OpenTestDisplay();
  if (display == nullptr) GTEST_SKIP() << kNoDisplayReason;
  // Stick 1 to the right types D, in whichever slot the controller sits.
  const std::string right = "Axis1p=1, 44:00:00:00, 0.000, 0, 0\r\n";
  run.WriteData("Play.cfg",
                "[General]\r\nFileVersion=70\r\nNumberOfJoysticks=2\r\n"
                "NumberOfButtons=4\r\n\r\n[Joystick 1]\r\n" +
                    right + "\r\n[Joystick 2]\r\n" + right);
  // The program's own windows get the output like any other.
  run.WriteData("Brevanto.ini", "[LastStatus]\r\nFileName=Play\r\nSkipForegroundProcessing=0\r\n");
  // The stick rests for the first five seconds, so that no key is held when
  // the dialog opens, then swings right and left, a third of a second each way.
  std::string pad = "device 1 dinput\n";
  for (int tick = 300; tick < 3750; tick += 20) {
    pad += std::to_string(tick) + " 1 x " + ((tick / 20) % 2 ? "-1000" : "1000") + "\n";
  }
  run.Write("pad.txt", pad + "end 3750\n");
  ASSERT_TRUE(Start({"--virtual-pad=" + run.Path("pad.txt")}));
  ASSERT_TRUE(ServeUntil([&] { return program->DetectedDeviceCount() == 1; }));
  TMainForm& form = *program->Form();

  bool used = false;
  WhenModal<TDeviceConfigDialog>([&](TDeviceConfigDialog* dialog) {
    used = true;
    dialog->PageControl->setCurrentIndex(1);
    EXPECT_EQ(dialog->cbDeviceList->currentText(),
              QStringLiteral("Brevanto Virtual Joystick [DirectInput] *接続中*"));
    if (!InFront(*dialog)) {
      ADD_FAILURE() << "the dialog did not come to the front";
      dialog->reject();
      return;
    }
    EXPECT_FALSE(KeyDown(display, XK_d)) << "the stick rested until now";
    std::set<int> positions;
    bool typed = false;
    ServeUntil(
        [&] {
          positions.insert(dialog->pbStick1->Marker().x());
          typed = typed || KeyDown(display, XK_d);
          return positions.count(0) && positions.count(100);
        },
        15000);
    EXPECT_TRUE(positions.count(0) && positions.count(100)) << "the preview follows the stick";
    EXPECT_FALSE(typed) << "nothing is sent while the dialog is in front";

    dialog->cbJoystickNumber->setCurrentIndex(2);
    dialog->tbAnalogDeadZone->setValue(20);
    dialog->btnClose->click();
  });
  form.MMJoystickProperty->trigger();
  ASSERT_TRUE(used);

  const std::string ini = ReadText(run.DataDir() + "Brevanto.ini");
  const std::size_t section = ini.find("[DeviceConfig-1]");
  ASSERT_NE(section, std::string::npos) << ini;
  EXPECT_NE(ini.find("PreferredNumber=1", section), std::string::npos) << ini;
  EXPECT_NE(ini.find("AnalogDeadZone=2000", section), std::string::npos) << ini;
  EXPECT_EQ(program->SlotDevice(0), nullptr);
  ASSERT_NE(program->SlotDevice(1), nullptr) << "the controller moved to joystick 2";
  EXPECT_EQ(program->SlotDevice(1)->Name, "Brevanto Virtual Joystick");

  // With the main window in front again the same stick types.
  ASSERT_TRUE(InFront(form));
  EXPECT_TRUE(ServeUntil([&] { return KeyDown(display, XK_d); }, 5000));
  XCloseDisplay(display);
}

}  // namespace
}  // namespace brevanto::testing
