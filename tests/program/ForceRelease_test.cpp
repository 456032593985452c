// Every way processing ends lets go of what the profile holds: the signals
// that end the program, and the machine going to sleep.

// Qt and GoogleTest first: Xlib's macros (Bool, Status, None) break them.
#include <gtest/gtest.h>
#include <poll.h>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QElapsedTimer>
// clang-format off
#include <X11/Xlib.h>
#include <X11/keysym.h>
// clang-format on

#include <algorithm>
#include <functional>

#include "program/ProgramProcess.h"
#include "support/PrivateBus.h"
#include "support/TestWindow.h"

namespace brevanto::testing {
namespace {

using namespace std::chrono_literals;

constexpr char kProfile[] =
    "[General]\r\nFileVersion=70\r\nNumberOfJoysticks=1\r\nNumberOfButtons=8\r\nKeySendMode=1\r\n"
    "\r\n[Joystick 1]\r\nButton01=1, 41:00:00:00, 0.000, 0, 0\r\n";

// One controller that does nothing: the cycle processes injected input only
// while a controller is attached.
constexpr char kIdlePad[] = "device 1 dinput\nend 1\n";

bool AnyKeyDown(Display* display) {
  char keys[32] = {};
  XQueryKeymap(display, keys);
  return std::any_of(std::begin(keys), std::end(keys), [](char c) { return c != 0; });
}

// Presses plain button 1 of joystick 1 through injected input, with the
// controller of slot 1 ignored, and waits until its key (A) is down.
bool HoldA(const ProgramFixtureData& run, TestWindow& window) {
  const KeyCode keyA = XKeysymToKeycode(window.display(), XK_a);
  if (run.Send({"set-input-target", "0", "0"}) != 0 || run.Send({"press", "0"}) != 0) return false;
  return !window
              .Collect(
                  [&](const XEvent& e) { return e.type == KeyPress && e.xkey.keycode == keyA; }, 1,
                  10s)
              .empty();
}

class EndingSignal : public ::testing::TestWithParam<int> {};

TEST_P(EndingSignal, EndsInOrderWithNoKeyLeftDown) {
  if (!HasDisplay()) GTEST_SKIP() << kNoDisplayReason;
  ProgramFixtureData run;
  run.WriteData("Held.cfg", kProfile);
  run.Write("pad.txt", kIdlePad);
  std::unique_ptr<TestWindow> window = TestWindow::Open();
  ASSERT_NE(window, nullptr);
  std::unique_ptr<ChildProcess> program =
      run.Start({"--headless", "--no-uinput", "--virtual-pad=" + run.Path("pad.txt")});
  ASSERT_TRUE(WaitForText(run.LogPath(), "TimerInit: ", 30s)) << ReadText(run.Output());
  ASSERT_TRUE(HoldA(run, *window));
  ASSERT_TRUE(AnyKeyDown(window->display()));

  program->Signal(GetParam());
  EXPECT_EQ(program->Wait(30s), std::optional<int>(0)) << ReadText(run.Output());
  EXPECT_TRUE(ReadText(run.LogPath()).ends_with("Application terminated\r\n"));
  XSync(window->display(), False);
  EXPECT_FALSE(AnyKeyDown(window->display()));
}

INSTANTIATE_TEST_SUITE_P(, EndingSignal, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::string(sigabbrev_np(info.param));
                         });

// logind's sleep signal and delay inhibitor, on a bus of the test's own.
class FakeLogind : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

 public:
  ~FakeLogind() override {
    if (inhibitorEnd >= 0) ::close(inhibitorEnd);
  }
  int inhibitorEnd = -1;

 public slots:
  QDBusUnixFileDescriptor Inhibit(const QString&, const QString&, const QString&, const QString&) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return {};
    if (inhibitorEnd >= 0) ::close(inhibitorEnd);
    inhibitorEnd = fds[0];
    QDBusUnixFileDescriptor handed(fds[1]);
    ::close(fds[1]);
    return handed;
  }
};

// Serves the bus while waiting for the condition.
bool ServeUntil(const std::function<bool()>& done, int timeoutMs = 20000) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

TEST(Sleep, SuspendLetsGoOfHeldKeysAndResumeProcessesAgain) {
  if (!HasDisplay()) GTEST_SKIP() << kNoDisplayReason;
  PrivateBus bus;
  if (bus.Address().empty()) GTEST_SKIP() << "dbus-daemon cannot be started";
  const QString address = QString::fromStdString(bus.Address());
  QDBusConnection logindBus = QDBusConnection::connectToBus(address, "fake-logind");
  ASSERT_TRUE(logindBus.isConnected());
  FakeLogind logind;
  ASSERT_TRUE(logindBus.registerObject("/org/freedesktop/login1", &logind,
                                       QDBusConnection::ExportAllSlots));
  ASSERT_TRUE(logindBus.registerService("org.freedesktop.login1"));
  const auto prepareForSleep = [&](bool start) {
    QDBusMessage signal = QDBusMessage::createSignal(
        "/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep");
    signal << start;
    return logindBus.send(signal);
  };

  ProgramFixtureData run;
  run.WriteData("Held.cfg", kProfile);
  run.Write("pad.txt", kIdlePad);
  std::unique_ptr<TestWindow> window = TestWindow::Open();
  ASSERT_NE(window, nullptr);
  std::unique_ptr<ChildProcess> program =
      run.Start({"--headless", "--no-uinput", "--virtual-pad=" + run.Path("pad.txt")},
                {{"DBUS_SYSTEM_BUS_ADDRESS", bus.Address()}});
  ASSERT_TRUE(ServeUntil([&] {
    return ReadText(run.LogPath()).find("PowerEvents: watching logind") != std::string::npos &&
           logind.inhibitorEnd >= 0;
  })) << ReadText(run.LogPath());
  ASSERT_TRUE(WaitForText(run.LogPath(), "TimerInit: ", 30s));
  ASSERT_TRUE(HoldA(run, *window));

  ASSERT_TRUE(prepareForSleep(true));
  ASSERT_TRUE(ServeUntil([&] {
    return ReadText(run.LogPath()).find("Received PBT_APMSUSPEND") != std::string::npos &&
           !AnyKeyDown(window->display());
  })) << ReadText(run.LogPath());
  EXPECT_TRUE(program->Running());

  // Awake again: processing runs, so an injected press gives its key again.
  ASSERT_TRUE(prepareForSleep(false));
  ASSERT_TRUE(ServeUntil([&] {
    return ReadText(run.LogPath()).find("Reinitializing joysticks...") != std::string::npos;
  }));
  window->Drain();
  EXPECT_TRUE(HoldA(run, *window));

  program->Signal(SIGTERM);
  EXPECT_TRUE(ServeUntil([&] { return !program->Running(); }));
  XSync(window->display(), False);
  EXPECT_FALSE(AnyKeyDown(window->display()));
}

}  // namespace
}  // namespace brevanto::testing

#include "ForceRelease_test.moc"
