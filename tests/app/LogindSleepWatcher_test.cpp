#include "app/power/LogindSleepWatcher.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <functional>
#include <string>

#include "support/LogCapture.h"
#include "support/PrivateBus.h"
#include "support/TempDir.h"

extern char** environ;

namespace brevanto {
namespace {

using testing::PrivateBus;

// logind as far as the watcher uses it: the sleep signal and the delay
// inhibitor, whose far end shows whether the watcher still holds it.
class FakeLogind : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

 public:
  ~FakeLogind() override {
    if (inhibitorEnd >= 0) ::close(inhibitorEnd);
  }

  // True while the watcher keeps its end of the inhibitor open.
  bool InhibitorHeld() const {
    pollfd p{inhibitorEnd, POLLIN, 0};
    return inhibitorEnd >= 0 && ::poll(&p, 1, 0) == 0;
  }

  int inhibitCalls = 0;
  QString lastMode;
  int inhibitorEnd = -1;

 public slots:
  QDBusUnixFileDescriptor Inhibit(const QString&, const QString&, const QString&,
                                  const QString& mode) {
    ++inhibitCalls;
    lastMode = mode;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return {};
    if (inhibitorEnd >= 0) ::close(inhibitorEnd);
    inhibitorEnd = fds[0];
    QDBusUnixFileDescriptor handed(fds[1]);  // the message carries a copy
    ::close(fds[1]);
    return handed;
  }
};

class RecordingPowerState : public PowerStateHandler {
 public:
  void Suspend() override {
    calls += "S";
    if (onSuspend) onSuspend();
  }
  void Resume() override { calls += "R"; }
  std::string calls;
  std::function<void()> onSuspend;
};

bool RunUntil(const std::function<bool()>& done) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > 10000) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

TEST(LogindSleepWatcher, WithoutABusItSaysSoOnceAndGoesOn) {
  testing::LogCapture log;
  RecordingPowerState state;
  PowerBroadcastHandler power(state);
  const QDBusConnection none =
      QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), "no-bus");
  LogindSleepWatcher watcher(power, none);
  EXPECT_FALSE(watcher.Start());
  QCoreApplication::processEvents();
  int lines = 0;
  for (const std::string& m : log.Messages()) {
    lines += m.starts_with("PowerEvents: no system bus; suspend and resume are not watched");
  }
  EXPECT_EQ(lines, 1) << log.Text();
  EXPECT_TRUE(state.calls.empty());
}

TEST(LogindSleepWatcher, SleepSuspendsWhileHoldingTheDelayLockAndWakingResumes) {
  PrivateBus bus;
  if (bus.Address().empty()) GTEST_SKIP() << "dbus-daemon cannot be started";
  testing::LogCapture log;
  const QString address = QString::fromStdString(bus.Address());
  QDBusConnection logindBus = QDBusConnection::connectToBus(address, "fake-logind");
  ASSERT_TRUE(logindBus.isConnected());
  FakeLogind logind;
  ASSERT_TRUE(logindBus.registerObject("/org/freedesktop/login1", &logind,
                                       QDBusConnection::ExportAllSlots));
  ASSERT_TRUE(logindBus.registerService("org.freedesktop.login1"));

  RecordingPowerState state;
  bool heldWhileSuspending = false;
  state.onSuspend = [&] { heldWhileSuspending = logind.InhibitorHeld(); };
  PowerBroadcastHandler power(state);
  LogindSleepWatcher watcher(power, QDBusConnection::connectToBus(address, "watcher"));
  ASSERT_TRUE(watcher.Start());
  ASSERT_TRUE(RunUntil([&] { return watcher.HoldsDelayLock(); }));
  EXPECT_EQ(logind.lastMode, "delay");
  EXPECT_TRUE(logind.InhibitorHeld());

  auto prepareForSleep = [&](bool start) {
    QDBusMessage signal = QDBusMessage::createSignal(
        "/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep");
    signal << start;
    ASSERT_TRUE(logindBus.send(signal));
  };
  prepareForSleep(true);
  ASSERT_TRUE(RunUntil([&] { return state.calls == "S"; }));
  EXPECT_TRUE(heldWhileSuspending) << "the machine could sleep before the keys were released";
  EXPECT_TRUE(RunUntil([&] { return !logind.InhibitorHeld(); })) << "suspend is held up";
  EXPECT_TRUE(log.HasMessage("Received PBT_APMSUSPEND: Disabling the timer and joysticks..."));

  prepareForSleep(false);
  ASSERT_TRUE(RunUntil([&] { return state.calls == "SR" && watcher.HoldsDelayLock(); }));
  EXPECT_EQ(logind.inhibitCalls, 2);
  EXPECT_TRUE(logind.InhibitorHeld());
  EXPECT_TRUE(log.HasMessage("Received PBT_APMRESUMEAUTOMATIC"));
  EXPECT_TRUE(log.HasMessage("Reinitializing joysticks..."));
}

}  // namespace
}  // namespace brevanto

#include "LogindSleepWatcher_test.moc"
