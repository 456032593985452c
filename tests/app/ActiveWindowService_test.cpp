// The desktop's reports of its active window, sent over a private bus the way
// the KWin script and the GNOME Shell extension send them.

#include "app/desktop/ActiveWindowService.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <QDBusPendingCall>
#include <filesystem>
#include <string>
#include <vector>

#include "core/processing/TargetWindow.h"
#include "platform/linux/reported/ReportedWindowTracker.h"
#include "support/BusFixture.h"
#include "support/ChildProcess.h"
#include "support/LogCapture.h"

namespace brevanto {
namespace {

using testing::BusFixture;
using testing::ChildProcess;
using testing::RunUntil;

const QString kDesktopName = QStringLiteral("org.kde.KWin");

QDBusMessage Call(QDBusConnection& from, const QString& member, const QVariantList& arguments) {
  QDBusMessage message = QDBusMessage::createMethodCall(
      QString::fromLatin1(kActiveWindowService), QString::fromLatin1(kActiveWindowPath),
      QString::fromLatin1(kActiveWindowInterface), member);
  message.setArguments(arguments);
  const QDBusPendingCall call = from.asyncCall(message, 5000);
  if (!RunUntil([&] { return call.isFinished(); })) return {};
  return call.reply();
}

QVariantList Report(const QString& key, const QString& title, QVariant processId) {
  return {key, title, QStringLiteral("org.example.app"), processId, false};
}

class ActiveWindowServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (bus_.Address().empty()) GTEST_SKIP() << "dbus-daemon cannot be started";
    desktop_ = bus_.Open();
    ASSERT_TRUE(desktop_.registerService(kDesktopName));
    service_ = std::make_unique<ActiveWindowService>(tracker_, kDesktopName, bus_.Open());
    ASSERT_TRUE(service_->Start());
  }

  QDBusMessage FromDesktop(const QString& member, const QVariantList& arguments = {}) {
    return Call(desktop_, member, arguments);
  }

  BusFixture bus_;
  QDBusConnection desktop_{QString()};
  ReportedWindowTracker tracker_;
  std::unique_ptr<ActiveWindowService> service_;
};

TEST_F(ActiveWindowServiceTest, TheDesktopsReportReachesApplicationLinksWithTitleAndPath) {
  ChildProcess editor({"sleep", "30"});
  ASSERT_GT(editor.Pid(), 0) << "cannot start sleep";
  TargetWindow target(tracker_);
  std::vector<std::pair<std::string, std::string>> changes;
  target.SetTargetChangedHandler([&](const std::string& path, const std::string& title) {
    changes.emplace_back(path, title);
  });

  const QDBusMessage reply = FromDesktop(
      QStringLiteral("WindowActivated"),
      Report(QStringLiteral("{5d1c}"), QStringLiteral("notes.txt — Editor"), editor.Pid()));
  EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
  target.Sample();

  const std::string sleepPath =
      std::filesystem::canonical("/proc/" + std::to_string(editor.Pid()) + "/exe");
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].first, sleepPath);
  EXPECT_EQ(changes[0].second, "notes.txt — Editor");
  EXPECT_FALSE(target.targetIsOwn());

  EXPECT_EQ(FromDesktop(QStringLiteral("NoWindowActive")).type(), QDBusMessage::ReplyMessage);
  target.Sample();
  EXPECT_EQ(target.targetWindow(), kNoWindow);
  EXPECT_TRUE(target.targetChanged());
}

// Scripts hold numbers as doubles, extensions send int32; any whole number
// names the process, and ours makes the window the program's own.
TEST_F(ActiveWindowServiceTest, ProcessIdsComeAsAnyWholeNumberAndOursIsTheProgramsOwn) {
  const int own = static_cast<int>(::getpid());
  const QVariant forms[] = {
      QVariant(own), QVariant(static_cast<uint>(own)), QVariant(static_cast<qlonglong>(own)),
      QVariant(static_cast<qulonglong>(own)), QVariant(static_cast<double>(own))};
  TargetWindow target(tracker_);
  int n = 0;
  for (const QVariant& processId : forms) {
    const QString key = QStringLiteral("w%1").arg(n++);
    const QDBusMessage reply = FromDesktop(QStringLiteral("WindowActivated"),
                                           Report(key, QStringLiteral("Brevanto"), processId));
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << processId.typeName();
    target.Sample();
    EXPECT_TRUE(target.targetChanged()) << processId.typeName();
    EXPECT_TRUE(target.targetIsOwn()) << processId.typeName();
  }
}

TEST_F(ActiveWindowServiceTest, UnsoundCallsAreRefusedAndLoggedSparingly) {
  ASSERT_EQ(FromDesktop(QStringLiteral("WindowActivated"),
                        Report(QStringLiteral("front"), QStringLiteral("Front"), 0))
                .type(),
            QDBusMessage::ReplyMessage);
  const WindowId front = tracker_.ForegroundWindow();

  struct Case {
    const char* name;
    QVariantList arguments;
  };
  const QString hugeTitle(static_cast<int>(ReportedWindowTracker::kMaxTitleBytes) + 1, u'x');
  const Case cases[] = {
      // Not a report at all.
      {"four arguments", {QStringLiteral("w"), QStringLiteral("T"), QStringLiteral("a"), 1}},
      {"title not a string", {QStringLiteral("w"), 7, QStringLiteral("a"), 1, false}},
      {"pid as text", Report(QStringLiteral("w"), QStringLiteral("T"), QStringLiteral("12"))},
      {"pid with a fraction", Report(QStringLiteral("w"), QStringLiteral("T"), 12.5)},
      {"pid not finite", Report(QStringLiteral("w"), QStringLiteral("T"), qInf())},
      // A report no window gives.
      {"huge title", Report(QStringLiteral("w"), hugeTitle, 1)},
      {"negative pid", Report(QStringLiteral("w"), QStringLiteral("T"), -5)},
      {"pid past any", Report(QStringLiteral("w"), QStringLiteral("T"), qlonglong(1) << 40)},
      {"unsigned pid past any", Report(QStringLiteral("w"), QStringLiteral("T"), 4294967295u)},
      {"no key", Report(QString(), QStringLiteral("T"), 1)},
  };
  testing::LogCapture log;
  for (const Case& c : cases) {
    const QDBusMessage reply = FromDesktop(QStringLiteral("WindowActivated"), c.arguments);
    EXPECT_EQ(reply.type(), QDBusMessage::ErrorMessage) << c.name;
    EXPECT_EQ(reply.errorName(), QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"))
        << c.name;
    EXPECT_EQ(tracker_.ForegroundWindow(), front) << c.name;
  }
  EXPECT_EQ(tracker_.WindowTitle(front), "Front");

  // One line for the first of each kind, however many follow.
  std::vector<std::string> lines;
  for (const std::string& m : log.Messages()) {
    if (m.starts_with("ActiveWindow: report ignored: ")) lines.push_back(m);
  }
  EXPECT_EQ(lines,
            (std::vector<std::string>{"ActiveWindow: report ignored: 4 arguments instead of 5",
                                      "ActiveWindow: report ignored: title too long"}))
      << log.Text();
}

TEST_F(ActiveWindowServiceTest, OnlyTheDesktopIsListenedTo) {
  QDBusConnection stranger = bus_.Open();
  testing::LogCapture log;
  const QDBusMessage reply = Call(stranger, QStringLiteral("WindowActivated"),
                                  Report(QStringLiteral("w"), QStringLiteral("Pick me"), 0));
  EXPECT_EQ(reply.errorName(), QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"));
  EXPECT_EQ(Call(stranger, QStringLiteral("NoWindowActive"), {}).type(),
            QDBusMessage::ErrorMessage);
  EXPECT_EQ(tracker_.ForegroundWindow(), kNoWindow);
  EXPECT_TRUE(log.Contains("ActiveWindow: report ignored: sent by " +
                           stranger.baseService().toStdString() + ", which is not org.kde.KWin"))
      << log.Text();

  EXPECT_EQ(FromDesktop(QStringLiteral("Unknown")).errorName(),
            QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"));
}

TEST_F(ActiveWindowServiceTest, ADesktopThatGoesAwayTakesItsWindowAlongAndItsSuccessorIsHeard) {
  std::vector<QString> owners;
  QObject::connect(service_.get(), &ActiveWindowService::DesktopChanged,
                   [&](const QString& owner) { owners.push_back(owner); });
  FromDesktop(QStringLiteral("WindowActivated"),
              Report(QStringLiteral("w"), QStringLiteral("Before"), 0));
  ASSERT_NE(tracker_.ForegroundWindow(), kNoWindow);

  bus_.Close(desktop_);
  ASSERT_TRUE(RunUntil([&] { return !owners.empty(); }));
  EXPECT_EQ(owners.back(), QString());
  EXPECT_EQ(tracker_.ForegroundWindow(), kNoWindow);

  desktop_ = bus_.Open();
  ASSERT_TRUE(desktop_.registerService(kDesktopName));
  ASSERT_TRUE(RunUntil([&] { return owners.back() == desktop_.baseService(); }));
  EXPECT_EQ(FromDesktop(QStringLiteral("WindowActivated"),
                        Report(QStringLiteral("w"), QStringLiteral("After"), 0))
                .type(),
            QDBusMessage::ReplyMessage);
  EXPECT_EQ(tracker_.WindowTitle(tracker_.ForegroundWindow()), "After");
}

TEST_F(ActiveWindowServiceTest, ASecondBrevantoFindsTheNameTaken) {
  testing::LogCapture log;
  ReportedWindowTracker tracker;
  ActiveWindowService second(tracker, kDesktopName, bus_.Open());
  EXPECT_FALSE(second.Start());
  EXPECT_TRUE(log.Contains("ActiveWindow: example.brevanto.Brevanto is taken on the session bus"))
      << log.Text();
  // The first still takes the reports.
  FromDesktop(QStringLiteral("WindowActivated"),
              Report(QStringLiteral("w"), QStringLiteral("Still"), 0));
  EXPECT_EQ(tracker_.WindowTitle(tracker_.ForegroundWindow()), "Still");
}

}  // namespace
}  // namespace brevanto
