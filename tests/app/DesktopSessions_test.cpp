// The window reports from a real KWin and a real GNOME Shell, each started
// headless by the test on buses of its own, with a native Wayland window
// (GTK 3) brought to the front: the program learns its title and program
// path, and an application link on them matches. Skipped where the desktop
// or GTK is not installed.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/desktop/DesktopWindowTracking.h"
#include "app/desktop/GnomeFocusExtension.h"
#include "app/desktop/KWinActiveWindowScript.h"
#include "core/applink/AppLinkManager.h"
#include "core/processing/TargetWindow.h"
#include "support/BusFixture.h"
#include "support/LogCapture.h"
#include "support/PrivateBus.h"
#include "support/TempDir.h"

extern char** environ;

namespace brevanto {
namespace {

using testing::BusFixture;
using testing::PrivateBus;
using testing::RunUntil;
using testing::TempDir;

using Environment = std::map<std::string, std::optional<std::string>>;  // nullopt unsets

std::optional<std::string> FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  for (std::size_t start = 0; start <= dirs.size();) {
    const std::size_t end = std::min(dirs.find(':', start), dirs.size());
    const std::string candidate = dirs.substr(start, end - start) + "/" + name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return std::nullopt;
}

// A program of the desktop session, in the environment given on top of the
// test's, its output in a file. Ended with SIGTERM (SIGKILL after five
// seconds) and reaped.
class SessionProcess {
 public:
  SessionProcess(const std::string& program, const std::vector<std::string>& arguments,
                 const Environment& environment, const std::string& logPath) {
    std::map<std::string, std::string> merged;
    for (char** e = environ; *e != nullptr; ++e) {
      const std::string entry = *e;
      const std::size_t equals = entry.find('=');
      if (equals != std::string::npos) merged[entry.substr(0, equals)] = entry.substr(equals + 1);
    }
    for (const auto& [name, value] : environment) {
      if (value) {
        merged[name] = *value;
      } else {
        merged.erase(name);
      }
    }
    std::vector<std::string> envStrings;
    for (const auto& [name, value] : merged) envStrings.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& s : envStrings) envp.push_back(s.data());
    envp.push_back(nullptr);
    std::vector<std::string> args{program};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& s : args) argv.push_back(s.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                     0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    error_ = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error_ != 0) pid_ = -1;
  }
  ~SessionProcess() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    for (int i = 0; i < 100; ++i) {
      if (::waitpid(pid_, nullptr, WNOHANG) == pid_) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  SessionProcess(const SessionProcess&) = delete;
  SessionProcess& operator=(const SessionProcess&) = delete;

  pid_t Pid() const { return pid_; }
  int Error() const { return error_; }  // errno of a failed start

 private:
  pid_t pid_ = -1;
  int error_ = 0;
};

bool GtkAvailable() {
  const Environment none;
  TempDir dir;
  SessionProcess check("/usr/bin/python3",
                       {"-c",
                        "import gi; gi.require_version('Gtk', '3.0'); "
                        "from gi.repository import Gtk"},
                       none, dir.File("check.log"));
  if (check.Pid() <= 0) return false;
  int status = 0;
  return ::waitpid(check.Pid(), &status, 0) == check.Pid() && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

// What the program sees of the window in front, sampled as the processing
// cycle samples it.
struct Seen {
  std::string path;
  std::string title;
};

bool WaitForTitle(TargetWindow& target, const Seen& seen, const std::string& title) {
  return RunUntil(
      [&] {
        target.Sample();
        return seen.title == title;
      },
      20000);
}

std::string ExecutableOf(pid_t pid) {
  return std::filesystem::canonical("/proc/" + std::to_string(pid) + "/exe").string();
}

// The link a user would make for the window: part of its program's path and
// of its title.
AppLinkManager ProbeLinks(const TempDir& dir) {
  AppLinkManager links(dir.Dir());
  links.Replace({AppLink{"Other", "P1", "/usr/games/", ""},
                 AppLink{"Probe", "P2", "python3", "Brevanto probe"}},
                AppLinkManager::kLastSelected, "");
  return links;
}

// Whether KWin holds Brevanto's script; nothing when KWin does not answer.
std::optional<bool> ScriptLoaded(QDBusConnection& bus) {
  QDBusMessage loaded = QDBusMessage::createMethodCall("org.kde.KWin", "/Scripting",
                                                       "org.kde.kwin.Scripting", "isScriptLoaded");
  loaded << QString::fromLatin1(KWinActiveWindowScript::kPluginName);
  const QDBusMessage answer = bus.call(loaded);
  if (answer.type() != QDBusMessage::ReplyMessage) return std::nullopt;
  return answer.arguments().value(0).toBool();
}

class DesktopSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (bus_.Address().empty()) GTEST_SKIP() << "dbus-daemon cannot be started";
    ::mkdir(runtimeDir_.c_str(), 0700);
    // Services the bus starts for the desktop (dconf, accessibility) keep
    // their files in the test's folders, not the user's.
    QDBusMessage update =
        QDBusMessage::createMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                       "org.freedesktop.DBus", "UpdateActivationEnvironment");
    qDBusRegisterMetaType<QMap<QString, QString>>();
    QMap<QString, QString> variables;
    for (const auto& [name, value] : SessionEnvironment()) {
      if (value) variables.insert(QString::fromStdString(name), QString::fromStdString(*value));
    }
    update << QVariant::fromValue(variables);
    ASSERT_EQ(bus_.Open().call(update).type(), QDBusMessage::ReplyMessage);
  }

  Environment SessionEnvironment() const {
    return {{"DBUS_SESSION_BUS_ADDRESS", bus_.Address()},
            {"XDG_RUNTIME_DIR", runtimeDir_},
            {"HOME", dir_.File("home")},
            {"XDG_CONFIG_HOME", dir_.File("home/.config")},
            {"XDG_DATA_HOME", dir_.File("home/.local/share")},
            {"XDG_CACHE_HOME", dir_.File("home/.cache")},
            {"NO_AT_BRIDGE", "1"},
            {"DISPLAY", std::nullopt},
            {"WAYLAND_DISPLAY", std::nullopt},
            {"QT_QPA_PLATFORM", std::nullopt}};
  }

  std::unique_ptr<SessionProcess> StartProbeWindow(const std::string& socket,
                                                   const std::string& title) {
    Environment environment = SessionEnvironment();
    environment["WAYLAND_DISPLAY"] = socket;
    environment["GDK_BACKEND"] = "wayland";
    return std::make_unique<SessionProcess>(
        "/usr/bin/python3", std::vector<std::string>{BREVANTO_GTK_PROBE_WINDOW, title}, environment,
        dir_.File("probe.log"));
  }

  // A headless KWin serving socket; skips the test where it or GTK is
  // missing.
  void StartKWin(const std::string& socket, std::unique_ptr<SessionProcess>& compositor) {
    const std::optional<std::string> kwin = FindProgram("kwin_wayland");
    if (!kwin) GTEST_SKIP() << "kwin_wayland is not installed (Debian package kwin-wayland)";
    if (!GtkAvailable()) {
      GTEST_SKIP() << "python3 with GTK 3 (python3-gi, gir1.2-gtk-3.0) is missing";
    }
    const std::vector<std::string> arguments{
        "--virtual", "--no-lockscreen", "--width", "800", "--height", "600", "--socket", socket};
    compositor = std::make_unique<SessionProcess>(*kwin, arguments, SessionEnvironment(),
                                                  dir_.File("kwin.log"));
    if (compositor->Error() == EPERM) {
      // kwin_wayland carries a file capability (cap_sys_resource) that a
      // container may not grant; a copy without it runs all the same.
      const std::string copy = dir_.File("kwin_wayland");
      std::filesystem::copy_file(*kwin, copy);
      compositor = std::make_unique<SessionProcess>(copy, arguments, SessionEnvironment(),
                                                    dir_.File("kwin.log"));
    }
    ASSERT_GT(compositor->Pid(), 0)
        << "cannot start kwin_wayland: " << std::strerror(compositor->Error());
  }

  std::string Log(const std::string& name) const { return testing::ReadBytes(dir_.File(name)); }

  BusFixture bus_;
  TempDir dir_;
  std::string runtimeDir_ = dir_.File("runtime");
  Seen seen_;
};

TEST_F(DesktopSessionTest, KWinReportsANativeWaylandWindow) {
  const std::string socket = "brevanto-kwin-test";
  std::unique_ptr<SessionProcess> compositor;
  StartKWin(socket, compositor);
  if (IsSkipped() || HasFatalFailure()) return;

  testing::LogCapture log(/*debug=*/true);
  QDBusConnection program = bus_.Open();
  ASSERT_TRUE(
      RunUntil([&] { return FindReportingDesktop(program) == ReportingDesktop::KWin; }, 30000))
      << Log("kwin.log");

  auto tracking = std::make_unique<DesktopWindowTracking>(
      ReportingDesktop::KWin, program, QString::fromStdString(dir_.File("script.js")));
  ASSERT_TRUE(tracking->Start());
  TargetWindow target(tracking->Tracker());
  target.SetTargetChangedHandler([this](const std::string& path, const std::string& title) {
    seen_ = Seen{path, title};
  });

  const std::string title = "Brevanto probe in KWin";
  std::unique_ptr<SessionProcess> probe = StartProbeWindow(socket, title);
  ASSERT_GT(probe->Pid(), 0);
  ASSERT_TRUE(WaitForTitle(target, seen_, title))
      << log.Text() << Log("kwin.log") << Log("probe.log");
  EXPECT_EQ(seen_.path, ExecutableOf(probe->Pid()));
  EXPECT_FALSE(target.targetIsOwn());
  const AppLinkManager links = ProbeLinks(dir_);
  EXPECT_EQ(links.Match(seen_.path, seen_.title), 1);

  // The window goes: KWin says no window is active.
  probe.reset();
  EXPECT_TRUE(RunUntil([&] { return tracking->Tracker().ForegroundWindow() == kNoWindow; }));

  // The program ends: the script leaves KWin.
  tracking.reset();
  EXPECT_EQ(ScriptLoaded(program), std::optional<bool>(false));
}

TEST_F(DesktopSessionTest, GnomeShellExtensionOnceEnabledReportsANativeWaylandWindow) {
  const std::optional<std::string> shell = FindProgram("gnome-shell");
  if (!shell) GTEST_SKIP() << "gnome-shell is not installed (Debian package gnome-shell)";
  if (!GtkAvailable()) GTEST_SKIP() << "python3 with GTK 3 (python3-gi, gir1.2-gtk-3.0) is missing";

  // The extension as a user installs it for themselves.
  const std::string extensions = dir_.File("home/.local/share/gnome-shell/extensions");
  std::filesystem::create_directories(extensions);
  std::filesystem::copy(BREVANTO_GNOME_EXTENSION, extensions + "/" + GnomeFocusExtension::kUuid);

  // GNOME Shell wants logind on a system bus; one of the test's own, without
  // it, is enough for it to start.
  PrivateBus systemBus;
  ASSERT_FALSE(systemBus.Address().empty());
  Environment environment = SessionEnvironment();
  environment["DBUS_SYSTEM_BUS_ADDRESS"] = systemBus.Address();
  const std::string socket = "brevanto-gnome-test";
  SessionProcess compositor(*shell,
                            {"--headless", "--wayland", "--no-x11", "--virtual-monitor", "800x600",
                             "--wayland-display", socket},
                            environment, dir_.File("gnome-shell.log"));
  ASSERT_GT(compositor.Pid(), 0);

  QDBusConnection program = bus_.Open();
  ASSERT_TRUE(RunUntil(
      [&] {
        return FindReportingDesktop(program) == ReportingDesktop::GnomeShell &&
               GnomeFocusExtension(program).Query() != GnomeExtensionState::Unknown;
      },
      30000))
      << Log("gnome-shell.log");

  // Found but not enabled: the user is told how, and the windows are left
  // to X11.
  {
    testing::LogCapture log;
    DesktopWindowTracking tracking(ReportingDesktop::GnomeShell, program);
    EXPECT_FALSE(tracking.Start());
    EXPECT_EQ(tracking.ExtensionState(), GnomeExtensionState::Disabled);
    EXPECT_TRUE(log.Contains("gnome-extensions enable brevanto-focus@brevanto.example"))
        << log.Text();
  }

  // The user does what the notice says.
  if (const std::optional<std::string> tool = FindProgram("gnome-extensions")) {
    SessionProcess enable(*tool, {"enable", GnomeFocusExtension::kUuid}, environment,
                          dir_.File("enable.log"));
    int status = 0;
    ASSERT_EQ(::waitpid(enable.Pid(), &status, 0), enable.Pid());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << Log("enable.log");
  } else {
    QDBusMessage enable = QDBusMessage::createMethodCall(
        "org.gnome.Shell", "/org/gnome/Shell", "org.gnome.Shell.Extensions", "EnableExtension");
    enable << QString::fromLatin1(GnomeFocusExtension::kUuid);
    ASSERT_EQ(program.call(enable).type(), QDBusMessage::ReplyMessage);
  }
  ASSERT_TRUE(RunUntil([&] {
    return GnomeFocusExtension(program).Query() == GnomeExtensionState::Active;
  })) << Log("gnome-shell.log");

  DesktopWindowTracking tracking(ReportingDesktop::GnomeShell, program);
  ASSERT_TRUE(tracking.Start());
  TargetWindow target(tracking.Tracker());
  target.SetTargetChangedHandler([this](const std::string& path, const std::string& title) {
    seen_ = Seen{path, title};
  });

  // GNOME Shell starts in the overview, where no window has the focus.
  QDBusMessage leaveOverview = QDBusMessage::createMethodCall(
      "org.gnome.Shell", "/org/gnome/Shell", "org.freedesktop.DBus.Properties", "Set");
  leaveOverview << QStringLiteral("org.gnome.Shell") << QStringLiteral("OverviewActive")
                << QVariant::fromValue(QDBusVariant(false));
  ASSERT_EQ(program.call(leaveOverview).type(), QDBusMessage::ReplyMessage);

  const std::string title = "Brevanto probe in GNOME Shell";
  std::unique_ptr<SessionProcess> probe = StartProbeWindow(socket, title);
  ASSERT_GT(probe->Pid(), 0);
  ASSERT_TRUE(WaitForTitle(target, seen_, title)) << Log("gnome-shell.log") << Log("probe.log");
  EXPECT_EQ(seen_.path, ExecutableOf(probe->Pid()));
  const AppLinkManager links = ProbeLinks(dir_);
  EXPECT_EQ(links.Match(seen_.path, seen_.title), 1);

  probe.reset();
  EXPECT_TRUE(RunUntil([&] { return tracking.Tracker().ForegroundWindow() == kNoWindow; }));
}

// The running program in a Plasma session: it loads its script into KWin,
// takes the reports, and an application link on a native Wayland window
// switches the profile through the processing cycle.
TEST_F(DesktopSessionTest, TheRunningProgramUnderKWinSwitchesTheProfileForANativeWindow) {
  const std::string socket = "brevanto-kwin-program";
  std::unique_ptr<SessionProcess> compositor;
  StartKWin(socket, compositor);
  if (IsSkipped() || HasFatalFailure()) return;
  QDBusConnection bus = bus_.Open();
  ASSERT_TRUE(RunUntil([&] { return FindReportingDesktop(bus) == ReportingDesktop::KWin; }, 30000))
      << Log("kwin.log");

  const std::string data = dir_.File("data");
  std::filesystem::create_directories(data);
  const std::string profile = "[General]\r\nFileVersion=70\r\nNumberOfJoysticks=1\r\n";
  dir_.Write("data/Desktop.cfg", profile);
  dir_.Write("data/Probe.cfg", profile);
  dir_.Write("data/Brevanto.ini", "[LastStatus]\r\nFileName=Desktop\r\n");
  dir_.Write("data/AppLink.dat",
             "\xEF\xBB\xBF"
             "AppLinkData\r\n46\r\n1\r\n\r\n"
             "Probe|Probe|python3|Brevanto probe\r\n");
  Environment environment = SessionEnvironment();
  environment["XDG_SESSION_TYPE"] = "wayland";
  environment["WAYLAND_DISPLAY"] = socket;
  auto brevanto = std::make_unique<SessionProcess>(
      BREVANTO_PATH, std::vector<std::string>{"--headless", "--no-uinput", "--data-dir", data},
      environment, dir_.File("brevanto.out"));
  ASSERT_GT(brevanto->Pid(), 0);
  const std::string log = data + "/Brevanto.log";
  const auto logHas = [&](const std::string& text, std::size_t from = 0) {
    return testing::ReadBytes(log).find(text, from) != std::string::npos;
  };
  ASSERT_TRUE(RunUntil([&] { return logHas("TimerInit: "); }, 30000)) << Log("brevanto.out");
  EXPECT_TRUE(
      logHas("Wayland session: application links follow Wayland and X11 windows "
             "(reports of the desktop over D-Bus)"))
      << testing::ReadBytes(log);

  std::unique_ptr<SessionProcess> probe = StartProbeWindow(socket, "Brevanto probe window");
  ASSERT_GT(probe->Pid(), 0);
  EXPECT_TRUE(RunUntil([&] { return logHas("About to load config file \"Probe\""); }, 20000))
      << testing::ReadBytes(log) << Log("kwin.log") << Log("probe.log");
  probe.reset();
  EXPECT_TRUE(RunUntil(
      [&] {
        const std::string text = testing::ReadBytes(log);
        const std::size_t probeLoaded = text.find("About to load config file \"Probe\"");
        return probeLoaded != std::string::npos &&
               text.find("About to load config file \"Desktop\"", probeLoaded) != std::string::npos;
      },
      20000))
      << testing::ReadBytes(log);

  // At its end the program takes its script out of KWin.
  brevanto.reset();
  EXPECT_EQ(ScriptLoaded(bus), std::optional<bool>(false));
  EXPECT_TRUE(logHas("Application terminated")) << testing::ReadBytes(log);
}

}  // namespace
}  // namespace brevanto
