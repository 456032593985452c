// The real program under the test's X server, checked where its output and
// its controllers meet the system: each output method, the global settings
// the controller side reads, vibration and the X server's key repeat.

// GoogleTest before Xlib, whose macros (None, Bool) break it.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xlib.h>
#include <X11/XKBlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
// clang-format on
#include <linux/input-event-codes.h>
#include <unistd.h>

#include <set>
#include <string>

#include "program/ProgramProcess.h"
#include "support/TestWindow.h"

namespace brevanto::testing {
namespace {

using namespace std::chrono_literals;

constexpr char kUinputDeviceName[] = "Brevanto virtual input";

// A profile of one joystick with 8 buttons; lines are the joystick's keys.
std::string Profile(int keySendMode, const std::string& general, const std::string& lines) {
  return "[General]\r\nFileVersion=70\r\nNumberOfJoysticks=1\r\nNumberOfButtons=8\r\n"
         "KeySendMode=" +
         std::to_string(keySendMode) + "\r\n" + general + "\r\n[Joystick 1]\r\n" + lines;
}

// A generic joystick that runs the same round again and again for a minute
// and a half, so a test picks up whichever round comes after it is ready.
// round gives the round's lines from its first tick.
template <class Round>
std::string RepeatingScript(int roundTicks, Round round, const std::string& device = "dinput") {
  std::string script = "device 1 " + device + "\n";
  int tick = 60;
  while (tick < 90 * 62) {
    script += round(tick);
    tick += roundTicks;
  }
  return script + "end " + std::to_string(tick) + "\n";
}

std::string PressButton(int button, int tick, int holdTicks) {
  const std::string b = " 1 b" + std::to_string(button);
  return std::to_string(tick) + b + " 1\n" + std::to_string(tick + holdTicks) + b + " 0\n";
}

// Runs the program headless with the focus on a test window.
class OutputWiringTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HasDisplay()) GTEST_SKIP() << kNoDisplayReason;
    window_ = TestWindow::Open();
    ASSERT_NE(window_, nullptr);
  }

  void StartProgram(const std::string& ini, const std::string& profile, const std::string& script,
                    bool uinput = false) {
    run_.WriteData("Brevanto.ini", "[LastStatus]\r\nFileName=Test\r\n" + ini);
    run_.WriteData("Test.cfg", profile);
    run_.Write("pad.txt", script);
    std::vector<std::string> arguments = {"--headless", "--virtual-pad=" + run_.Path("pad.txt")};
    if (!uinput) arguments.push_back("--no-uinput");
    program_ = run_.Start(arguments);
    ASSERT_TRUE(program_->Started());
    ASSERT_TRUE(WaitForText(run_.LogPath(), "TimerInit: Timer initialized", 30s))
        << ReadText(run_.Output());
    XSetInputFocus(display(), window_->window(), RevertToParent, CurrentTime);
    XSync(display(), False);
  }

  void StopProgram() {
    program_->Signal(SIGTERM);
    EXPECT_EQ(program_->Wait(30s), std::optional<int>(0)) << ReadText(run_.Output());
  }

  Display* display() const { return window_->display(); }
  KeyCode Key(KeySym keysym) const { return XKeysymToKeycode(display(), keysym); }
  std::string Log() const { return ReadText(run_.LogPath()); }

  ProgramFixtureData run_;
  std::unique_ptr<TestWindow> window_;
  std::unique_ptr<ChildProcess> program_;
};

TEST_F(OutputWiringTest, ModeThreeKeysReachTheTargetWindow) {
  StartProgram("", Profile(3, "", "Button01=1, 41:00:00:00, 0.000, 0, 0\r\n"),
               RepeatingScript(62, [](int tick) { return PressButton(1, tick, 6); }));
  const KeyCode keyA = Key(XK_a);
  bool sentPress = false, sentRelease = false;
  window_->Collect(
      [&](const XEvent& e) {
        if (e.xany.window != window_->window() || !e.xany.send_event) return false;
        if (e.type == KeyPress && e.xkey.keycode == keyA) sentPress = true;
        if (e.type == KeyRelease && e.xkey.keycode == keyA && sentPress) sentRelease = true;
        return sentPress && sentRelease;
      },
      1, 20s);
  EXPECT_TRUE(sentPress) << Log();
  EXPECT_TRUE(sentRelease);
  StopProgram();
}

TEST_F(OutputWiringTest, ModeTwoSendsTheKeysForDirectInput) {
  // 0x102..0x107: left, up, right, down, right Ctrl, right Alt. Without
  // uinput the scan-code method types the evdev key through XTest.
  StartProgram("",
               Profile(2, "",
                       "Button01=1, 102:00:00:00, 0.000, 0, 0\r\n"
                       "Button02=1, 103:00:00:00, 0.000, 0, 0\r\n"
                       "Button03=1, 104:00:00:00, 0.000, 0, 0\r\n"
                       "Button04=1, 105:00:00:00, 0.000, 0, 0\r\n"
                       "Button05=1, 106:00:00:00, 0.000, 0, 0\r\n"
                       "Button06=1, 107:00:00:00, 0.000, 0, 0\r\n"),
               RepeatingScript(72, [](int tick) {
                 std::string round;
                 for (int b = 1; b <= 6; ++b) round += PressButton(b, tick + 10 * (b - 1), 4);
                 return round;
               }));
  const std::set<unsigned> wanted = {KEY_LEFT + 8, KEY_UP + 8,        KEY_RIGHT + 8,
                                     KEY_DOWN + 8, KEY_RIGHTCTRL + 8, KEY_RIGHTALT + 8};
  std::set<unsigned> pressed;
  window_->Collect(
      [&](const XEvent& e) {
        if (e.type == KeyPress && wanted.count(e.xkey.keycode)) pressed.insert(e.xkey.keycode);
        return pressed == wanted;
      },
      1, 20s);
  EXPECT_EQ(pressed, wanted) << Log();
  StopProgram();
}

TEST_F(OutputWiringTest, TheGlobalAnalogSaturationShapesDirectInputSticks) {
  // The stick at 40 %: past the dead zone of 10 % it reads 333 of 1000, below
  // the profile's threshold of 500; saturated at 50 % it reads 750.
  StartProgram("[DirectInput]\r\nAnalogSaturation=5000\r\n",
               Profile(1, "Threshold=500\r\n", "Axis1p=1, 41:00:00:00, 0.000, 0, 0\r\n"),
               RepeatingScript(62, [](int tick) {
                 return std::to_string(tick) + " 1 x 400\n" + std::to_string(tick + 20) +
                        " 1 x 0\n";
               }));
  const KeyCode keyA = Key(XK_a);
  const auto pressA = [&](const XEvent& e) { return e.type == KeyPress && e.xkey.keycode == keyA; };
  EXPECT_EQ(window_->Collect(pressA, 1, 20s).size(), 1u) << Log();
  StopProgram();
}

// Input API modes that do not read pads through the pad interface.
class FirstPadVibrates : public OutputWiringTest, public ::testing::WithParamInterface<int> {};

TEST_P(FirstPadVibrates, FirstPadVibratesInDirectInputOnlyMode) {
  const int mode = GetParam();
  run_.WriteData("Shake.cfg", Profile(1, "VibrationSpeed1=50\r\nVibrationDuration=300\r\n", ""));
  StartProgram("XInputSupport=" + std::to_string(mode) + "\r\nShowDebugLog=1\r\n",
               Profile(1, "", ""), "device 1 xinput\n1000 1 a 0\nend 6000\n");
  ASSERT_EQ(run_.Send({"profile", "Shake"}), 0) << ReadText(run_.Output());
  // The pad takes the speeds, and the countdown stops it about 300 ms later.
  EXPECT_TRUE(WaitForText(run_.LogPath(), "VirtualPad: slot 1 vibrates (32750 | 0)", 10s)) << Log();
  EXPECT_TRUE(WaitForText(run_.LogPath(), "VirtualPad: slot 1 vibrates (0 | 0)", 10s)) << Log();
  EXPECT_NE(Log().find("Vibration Enabled (speed = 32750 | 0"), std::string::npos);
  StopProgram();
}

INSTANTIATE_TEST_SUITE_P(, FirstPadVibrates, ::testing::Values(0, 3),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return "Mode" + std::to_string(info.param);
                         });

TEST_F(OutputWiringTest, WithoutAPadAVibrationIsNotReportedAsStarted) {
  run_.WriteData("Shake.cfg", Profile(1, "VibrationSpeed1=50\r\nVibrationDuration=300\r\n", ""));
  StartProgram("XInputSupport=0\r\nShowDebugLog=1\r\n", Profile(1, "", ""),
               "device 1 dinput\n1000 1 b1 0\nend 6000\n");
  ASSERT_EQ(run_.Send({"profile", "Shake"}), 0) << ReadText(run_.Output());
  EXPECT_TRUE(WaitForText(run_.LogPath(), "Vibration not started", 10s)) << Log();
  EXPECT_EQ(Log().find("Vibration Enabled"), std::string::npos);
  StopProgram();
}

// Keyboards of the X server and whether the server repeats their keys.
struct XKeyboard {
  int id;
  std::string name;
  bool xtest;
  bool repeats;
};

bool RepeatKeysOn(Display* display, int device) {
  XkbDescPtr desc = XkbAllocKeyboard();
  desc->device_spec = static_cast<unsigned short>(device);
  const bool on = XkbGetControls(display, XkbControlsEnabledMask, desc) == Success &&
                  (desc->ctrls->enabled_ctrls & XkbRepeatKeysMask) != 0;
  XkbFreeKeyboard(desc, XkbAllComponentsMask, True);
  return on;
}

std::vector<XKeyboard> SlaveKeyboards(Display* display) {
  const Atom xtestAtom = XInternAtom(display, "XTEST Device", False);
  std::vector<XKeyboard> keyboards;
  int count = 0;
  XIDeviceInfo* devices = XIQueryDevice(display, XIAllDevices, &count);
  for (int i = 0; i < count; ++i) {
    if (devices[i].use != XISlaveKeyboard) continue;
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    bool xtest = false;
    if (XIGetProperty(display, devices[i].deviceid, xtestAtom, 0, 1, False, AnyPropertyType, &type,
                      &format, &items, &after, &data) == Success) {
      xtest = items > 0 && data[0] != 0;
    }
    if (data) XFree(data);
    keyboards.push_back(
        {devices[i].deviceid, devices[i].name, xtest, RepeatKeysOn(display, devices[i].deviceid)});
  }
  XIFreeDeviceInfo(devices);
  return keyboards;
}

bool ServerHasKeyboard(Display* display, const std::string& name) {
  for (const XKeyboard& k : SlaveKeyboards(display)) {
    if (k.name == name) return true;
  }
  return false;
}

// Button 1 held for 2.4 s, then a second's rest, over and over.
std::string HeldButtonScript() {
  return RepeatingScript(210, [](int tick) { return PressButton(1, tick, 150); });
}

// KeyPress events of one key within two seconds of a press that follows a
// release: one hold seen from its start.
size_t PressesOfOneHold(TestWindow& window, KeyCode key) {
  const auto of = [key](int type) {
    return [key, type](const XEvent& e) { return e.type == type && e.xkey.keycode == key; };
  };
  if (window.Collect(of(KeyRelease), 1, 30s).empty()) return 0;
  if (window.Collect(of(KeyPress), 1, 10s).empty()) return 0;
  return 1 + window.Collect(of(KeyPress), 1000, 2s).size();
}

TEST_F(OutputWiringTest, AHeldKeyIsOnePressAtTheXServer) {
  // Another program has just typed through XTest, so the server repeats
  // with the controls the XTest keyboard had until now.
  XTestFakeKeyEvent(display(), Key(XK_Shift_L), True, CurrentTime);
  XTestFakeKeyEvent(display(), Key(XK_Shift_L), False, CurrentTime);
  XSync(display(), False);
  StartProgram("", Profile(1, "", "Button01=1, 41:00:00:00, 0.000, 0, 0\r\n"), HeldButtonScript());
  EXPECT_EQ(PressesOfOneHold(*window_, Key(XK_a)), 1u) << Log();

  // The user's keyboards still repeat; the XTest keyboard does not.
  for (const XKeyboard& k : SlaveKeyboards(display())) {
    EXPECT_EQ(k.repeats, !k.xtest) << k.name;
  }
  StopProgram();
  // Other programs that type through XTest get the repeat back.
  for (const XKeyboard& k : SlaveKeyboards(display())) {
    EXPECT_TRUE(k.repeats) << k.name;
  }
  EXPECT_TRUE(RepeatKeysOn(display(), XkbUseCoreKbd));
}

TEST_F(OutputWiringTest, AHeldUinputKeyIsOnePressAtTheXServer) {
  if (::access("/dev/uinput", W_OK) != 0) GTEST_SKIP() << "/dev/uinput is missing or not writable";
  StartProgram("", Profile(0, "", "Button01=1, 41:00:00:00, 0.000, 0, 0\r\n"), HeldButtonScript(),
               true);
  const auto end = std::chrono::steady_clock::now() + 5s;
  while (!ServerHasKeyboard(display(), kUinputDeviceName)) {
    if (std::chrono::steady_clock::now() >= end) {
      StopProgram();
      GTEST_SKIP() << "this X server does not take in new input devices (Xvfb has no hot-plug)";
    }
    std::this_thread::sleep_for(100ms);
  }
  EXPECT_EQ(PressesOfOneHold(*window_, Key(XK_a)), 1u) << Log();
  for (const XKeyboard& k : SlaveKeyboards(display())) {
    EXPECT_EQ(k.repeats, !k.xtest && k.name != kUinputDeviceName) << k.name;
  }
  StopProgram();
}

}  // namespace
}  // namespace brevanto::testing
