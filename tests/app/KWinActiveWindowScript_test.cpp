// Loading the window-report script into KWin, against a KWin of the test's
// own on a private bus that records what it is asked.

#include "app/desktop/KWinActiveWindowScript.h"

#include <gtest/gtest.h>

#include <QDBusPendingCall>
#include <QFile>
#include <QTimer>
#include <mutex>
#include <string>
#include <vector>

#include "app/desktop/ActiveWindowService.h"
#include "app/desktop/DesktopWindowTracking.h"
#include "support/BusFixture.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

namespace brevanto {
namespace {

using testing::BusFixture;
using testing::RunUntil;
using testing::TempDir;

class FakeKWinScripting;

// A loaded script's object, where KWin is told to run it.
class FakeScript : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.kwin.Script")

 public:
  FakeScript(FakeKWinScripting& scripting, QString path, QObject* parent)
      : QObject(parent), scripting_(scripting), path_(std::move(path)) {}

 public slots:
  void run();

 private:
  FakeKWinScripting& scripting_;
  QString path_;
};

// KWin's /Scripting as far as the program uses it.
class FakeKWinScripting : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.kwin.Scripting")

 public:
  struct Options {
    bool leftOver = false;  // a script of the same name is loaded already
    bool refuse = false;    // loadScript answers -1
    bool plasma6 = false;   // scripts live at /Scripting/Script<id>
  };

  // Holds the connection's name only: a KWin that ends must take its
  // connection along.
  FakeKWinScripting(const QDBusConnection& bus, Options options)
      : busName_(bus.name()), options_(options), loaded_(options.leftOver) {}

  std::vector<std::string> Calls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
  }
  QByteArray ScriptText() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return scriptText_;
  }
  void Record(const QString& call) {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.push_back(call.toStdString());
  }

 public slots:
  bool isScriptLoaded(const QString& plugin) {
    Record(QStringLiteral("isScriptLoaded ") + plugin);
    return loaded_;
  }
  int loadScript(const QString& path, const QString& plugin) {
    Record(QStringLiteral("loadScript ") + plugin);
    if (options_.refuse || loaded_) return -1;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
      std::lock_guard<std::mutex> lock(mutex_);
      scriptText_ = file.readAll();
    }
    const int id = nextId_++;
    scriptPath_ =
        (options_.plasma6 ? QStringLiteral("/Scripting/Script%1") : QStringLiteral("/%1")).arg(id);
    QDBusConnection(busName_).registerObject(scriptPath_, new FakeScript(*this, scriptPath_, this),
                                             QDBusConnection::ExportAllSlots);
    loaded_ = true;
    return id;
  }
  bool unloadScript(const QString& plugin) {
    Record(QStringLiteral("unloadScript ") + plugin);
    if (!scriptPath_.isEmpty()) QDBusConnection(busName_).unregisterObject(scriptPath_);
    scriptPath_.clear();
    const bool was = loaded_;
    loaded_ = false;
    return was;
  }

 private:
  QString busName_;
  Options options_;
  bool loaded_;
  int nextId_ = 0;
  QString scriptPath_;
  mutable std::mutex mutex_;
  std::vector<std::string> calls_;
  QByteArray scriptText_;
};

void FakeScript::run() {
  scripting_.Record(QStringLiteral("run ") + path_);
}

class KWinScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (bus_.Address().empty()) GTEST_SKIP() << "dbus-daemon cannot be started";
  }

  // A KWin on the bus: the returned fake answers on the fixture's thread.
  FakeKWinScripting* StartKWin(QDBusConnection& connection,
                               FakeKWinScripting::Options options = {}) {
    connection = bus_.Open();
    auto* scripting = bus_.Serve(new FakeKWinScripting(connection, options));
    EXPECT_TRUE(
        connection.registerObject("/Scripting", scripting, QDBusConnection::ExportAllSlots));
    EXPECT_TRUE(connection.registerService("org.kde.KWin"));
    return scripting;
  }

  BusFixture bus_;
  TempDir dir_;
  QDBusConnection kwin_{QString()};
};

using Calls = std::vector<std::string>;

TEST_F(KWinScriptTest, LoadsAndRunsTheScriptAndUnloadsItAtTheEnd) {
  FakeKWinScripting* kwin = StartKWin(kwin_);
  const std::string path = dir_.File("script.js");
  KWinActiveWindowScript script(QString::fromStdString(path), bus_.Open());
  script.Load();
  ASSERT_TRUE(RunUntil([&] { return script.Running(); }));
  EXPECT_EQ(kwin->Calls(), (Calls{"isScriptLoaded brevanto-active-window",
                                  "loadScript brevanto-active-window", "run /0"}));
  // KWin read the script as shipped.
  EXPECT_EQ(kwin->ScriptText(), KWinActiveWindowScript::Source());
  EXPECT_TRUE(KWinActiveWindowScript::Source().contains("WindowActivated"));

  script.Unload();
  EXPECT_EQ(kwin->Calls().back(), "unloadScript brevanto-active-window");
  EXPECT_FALSE(script.Running());
  EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
}

TEST_F(KWinScriptTest, AScriptLeftByAnEarlierRunIsReplaced) {
  FakeKWinScripting* kwin = StartKWin(kwin_, {.leftOver = true});
  KWinActiveWindowScript script(QString::fromStdString(dir_.File("script.js")), bus_.Open());
  script.Load();
  ASSERT_TRUE(RunUntil([&] { return script.Running(); }));
  EXPECT_EQ(kwin->Calls(),
            (Calls{"isScriptLoaded brevanto-active-window", "unloadScript brevanto-active-window",
                   "loadScript brevanto-active-window", "run /0"}));
}

TEST_F(KWinScriptTest, ScriptsServedWherePlasma6ServesThemRunToo) {
  FakeKWinScripting* kwin = StartKWin(kwin_, {.plasma6 = true});
  KWinActiveWindowScript script(QString::fromStdString(dir_.File("script.js")), bus_.Open());
  script.Load();
  ASSERT_TRUE(RunUntil([&] { return script.Running(); }));
  EXPECT_EQ(kwin->Calls().back(), "run /Scripting/Script0");
}

// KWin takes its name before it serves its scripting; a program started
// with the session may come in between.
TEST_F(KWinScriptTest, AKWinStillStartingIsAskedAgain) {
  kwin_ = bus_.Open();
  ASSERT_TRUE(kwin_.registerService("org.kde.KWin"));
  KWinActiveWindowScript script(QString::fromStdString(dir_.File("script.js")), bus_.Open());
  bool failed = false;
  QObject::connect(&script, &KWinActiveWindowScript::Failed, [&] { failed = true; });
  script.Load();
  FakeKWinScripting* scripting = nullptr;
  QTimer::singleShot(1500, [&] {
    scripting = bus_.Serve(new FakeKWinScripting(kwin_, {}));
    kwin_.registerObject("/Scripting", scripting, QDBusConnection::ExportAllSlots);
  });
  ASSERT_TRUE(RunUntil([&] { return script.Running(); }));
  EXPECT_FALSE(failed);
  EXPECT_EQ(scripting->Calls(), (Calls{"isScriptLoaded brevanto-active-window",
                                       "loadScript brevanto-active-window", "run /0"}));
}

TEST_F(KWinScriptTest, ARefusalIsLoggedAndLeavesItStopped) {
  StartKWin(kwin_, {.refuse = true});
  testing::LogCapture log;
  KWinActiveWindowScript script(QString::fromStdString(dir_.File("script.js")), bus_.Open());
  bool failed = false;
  QObject::connect(&script, &KWinActiveWindowScript::Failed, [&] { failed = true; });
  script.Load();
  ASSERT_TRUE(RunUntil([&] { return failed; }));
  EXPECT_FALSE(script.Running());
  bool logged = false;
  for (const testing::LogEntry& e : log.Entries()) {
    logged |= e.level == "Error" &&
              e.message.starts_with(
                  "ActiveWindow: the KWin script could not be loaded (KWin "
                  "refused the script") &&
              e.message.ends_with("application links see only X11 windows");
  }
  EXPECT_TRUE(logged) << log.Text();
}

TEST_F(KWinScriptTest, WithoutKWinTheFailureIsLogged) {
  testing::LogCapture log;
  KWinActiveWindowScript script(QString::fromStdString(dir_.File("script.js")), bus_.Open());
  bool failed = false;
  QObject::connect(&script, &KWinActiveWindowScript::Failed, [&] { failed = true; });
  script.Load();
  ASSERT_TRUE(RunUntil([&] { return failed; }));
  EXPECT_TRUE(log.Contains("org.freedesktop.DBus.Error.ServiceUnknown")) << log.Text();
}

// The whole of it as the program starts it under KWin: found, the script
// loaded, reports taken from KWin, the script loaded again into a KWin that
// restarted, and unloaded at the end.
TEST_F(KWinScriptTest, TrackingUnderKWinLoadsTheScriptTakesReportsAndSurvivesARestart) {
  EXPECT_EQ(FindReportingDesktop(bus_.Open()), ReportingDesktop::None);
  FakeKWinScripting* kwin = StartKWin(kwin_);
  QDBusConnection program = bus_.Open();
  ASSERT_EQ(FindReportingDesktop(program), ReportingDesktop::KWin);

  auto tracking = std::make_unique<DesktopWindowTracking>(
      ReportingDesktop::KWin, program, QString::fromStdString(dir_.File("script.js")));
  ASSERT_TRUE(tracking->Start());
  ASSERT_TRUE(RunUntil([&] { return kwin->Calls().size() == 3; }));

  QDBusMessage report = QDBusMessage::createMethodCall(kActiveWindowService, kActiveWindowPath,
                                                       kActiveWindowInterface, "WindowActivated");
  report << QStringLiteral("{1}") << QStringLiteral("Konsole") << QStringLiteral("konsole") << 0.0
         << false;
  const QDBusPendingCall sent = kwin_.asyncCall(report);
  ASSERT_TRUE(RunUntil([&] { return sent.isFinished(); }));
  EXPECT_EQ(tracking->Tracker().WindowTitle(tracking->Tracker().ForegroundWindow()), "Konsole");

  bus_.Close(kwin_);
  FakeKWinScripting* restarted = StartKWin(kwin_);
  ASSERT_TRUE(RunUntil([&] { return restarted->Calls().size() == 3; }))
      << "the script was not loaded into the new KWin";
  EXPECT_EQ(restarted->Calls().back(), "run /0");

  tracking.reset();
  EXPECT_EQ(restarted->Calls().back(), "unloadScript brevanto-active-window");
}

}  // namespace
}  // namespace brevanto

#include "KWinActiveWindowScript_test.moc"
