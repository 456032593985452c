// GNOME Shell's extension that reports the focused window: what GNOME Shell
// says of it, and what the program does with that at start-up. Against a
// GNOME Shell of the test's own on a private bus.

#include "app/desktop/GnomeFocusExtension.h"

#include <gtest/gtest.h>

#include <QDBusConnectionInterface>
#include <QDBusPendingCall>
#include <QVariantMap>
#include <mutex>

#include "app/desktop/ActiveWindowService.h"
#include "app/desktop/DesktopWindowTracking.h"
#include "support/BusFixture.h"
#include "support/LogCapture.h"

namespace brevanto {
namespace {

using testing::BusFixture;
using testing::RunUntil;

class FakeShellExtensions : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.gnome.Shell.Extensions")

 public:
  explicit FakeShellExtensions(QVariantMap info) : info_(std::move(info)) {}

  QString AskedFor() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return askedFor_;
  }

 public slots:
  QVariantMap GetExtensionInfo(const QString& uuid) {
    std::lock_guard<std::mutex> lock(mutex_);
    askedFor_ = uuid;
    return info_;
  }

 private:
  QVariantMap info_;
  mutable std::mutex mutex_;
  QString askedFor_;
};

class GnomeExtensionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (bus_.Address().empty()) GTEST_SKIP() << "dbus-daemon cannot be started";
  }

  // GNOME Shell on the bus, answering with info for any extension.
  FakeShellExtensions* StartShell(QVariantMap info) {
    shell_ = bus_.Open();
    auto* extensions = bus_.Serve(new FakeShellExtensions(std::move(info)));
    EXPECT_TRUE(
        shell_.registerObject("/org/gnome/Shell", extensions, QDBusConnection::ExportAllSlots));
    EXPECT_TRUE(shell_.registerService("org.gnome.Shell"));
    return extensions;
  }

  static QVariantMap State(double state) { return {{QStringLiteral("state"), state}}; }

  BusFixture bus_;
  QDBusConnection shell_{QString()};
};

TEST_F(GnomeExtensionTest, StatesAsGnomeShellGivesThem) {
  struct Case {
    const char* name;
    QVariantMap info;
    GnomeExtensionState state;
  };
  const Case cases[] = {
      {"not found", {}, GnomeExtensionState::Missing},
      {"enabled", State(1), GnomeExtensionState::Active},
      {"enabling", State(8), GnomeExtensionState::Active},
      {"disabled", State(2), GnomeExtensionState::Disabled},
      {"found but never enabled", State(6), GnomeExtensionState::Disabled},
      {"error", State(3), GnomeExtensionState::Failed},
      {"out of date", State(4), GnomeExtensionState::OutOfDate},
      {"removed while the shell runs", State(99), GnomeExtensionState::Missing},
      {"no state", {{QStringLiteral("uuid"), QStringLiteral("x")}}, GnomeExtensionState::Unknown},
  };
  for (const Case& c : cases) {
    FakeShellExtensions* shell = StartShell(c.info);
    EXPECT_EQ(GnomeFocusExtension(bus_.Open()).Query(), c.state) << c.name;
    EXPECT_EQ(shell->AskedFor(), QString::fromLatin1(GnomeFocusExtension::kUuid)) << c.name;
    bus_.Close(shell_);
  }
  EXPECT_EQ(GnomeFocusExtension(bus_.Open()).Query(), GnomeExtensionState::Unknown)
      << "without GNOME Shell";
}

TEST_F(GnomeExtensionTest, AnInactiveExtensionIsExplainedOnceAndLeavesTheWindowsToX11) {
  StartShell(State(2));
  QDBusConnection program = bus_.Open();
  ASSERT_EQ(FindReportingDesktop(program), ReportingDesktop::GnomeShell);
  testing::LogCapture log;
  DesktopWindowTracking tracking(ReportingDesktop::GnomeShell, program);
  EXPECT_FALSE(tracking.Start());
  EXPECT_EQ(tracking.ExtensionState(), GnomeExtensionState::Disabled);
  EXPECT_EQ(log.Count("gnome-extensions enable brevanto-focus@brevanto.example"), 1) << log.Text();
  EXPECT_TRUE(log.Contains("so application links see only X11 windows")) << log.Text();
  // Nobody is listening, so the extension's calls (once enabled) fail
  // rather than vanish.
  EXPECT_FALSE(program.interface()->isServiceRegistered(kActiveWindowService).value());
}

TEST_F(GnomeExtensionTest, AnActiveExtensionsReportsReachTheTracker) {
  StartShell(State(1));
  DesktopWindowTracking tracking(ReportingDesktop::GnomeShell, bus_.Open());
  ASSERT_TRUE(tracking.Start());

  // As the extension sends it: '(sssib)'.
  QDBusMessage report = QDBusMessage::createMethodCall(kActiveWindowService, kActiveWindowPath,
                                                       kActiveWindowInterface, "WindowActivated");
  report << QStringLiteral("2466") << QStringLiteral("Files")
         << QStringLiteral("org.gnome.Nautilus") << 0 << false;
  const QDBusPendingCall sent = shell_.asyncCall(report);
  ASSERT_TRUE(RunUntil([&] { return sent.isFinished(); }));
  EXPECT_FALSE(sent.isError()) << sent.error().message().toStdString();
  EXPECT_EQ(tracking.Tracker().WindowTitle(tracking.Tracker().ForegroundWindow()), "Files");
}

}  // namespace
}  // namespace brevanto

#include "GnomeFocusExtension_test.moc"
