#include "platform/linux/autostart/XdgAutoStart.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "core/settings/AtomicFile.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

namespace brevanto {
namespace {

using testing::LogCapture;
using testing::TempDir;

// Sets an environment variable for the scope (nullptr unsets it).
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

ExecutablePath Fixed(const std::string& path) {
  return {path, 0};
}

class XdgAutoStartTest : public ::testing::Test {
 protected:
  std::string Entry() const { return config_.File("autostart/Brevanto.desktop"); }

  TempDir config_;
  ScopedEnv env_{"XDG_CONFIG_HOME", config_.path().c_str()};
  LogCapture log_;
};

TEST_F(XdgAutoStartTest, CreateWritesTheEntryUpdatesItAndDeleteRemovesIt) {
  XdgAutoStart first([] { return Fixed("/opt/Brevanto/brevanto"); });
  EXPECT_FALSE(first.TaskExists());
  ASSERT_TRUE(first.CreateTask());
  EXPECT_EQ(testing::ReadBytes(Entry()),
            "[Desktop Entry]\n"
            "Type=Application\n"
            "Name=Brevanto\n"
            "Comment=Brevanto AutoStartup\n"
            "Icon=brevanto\n"
            "Exec=\"/opt/Brevanto/brevanto\"\n"
            "Terminal=false\n");
  EXPECT_TRUE(first.TaskExists());

  // Creating again replaces the entry with the program now running.
  XdgAutoStart moved([] { return Fixed("/home/u/bin/brevanto"); });
  ASSERT_TRUE(moved.CreateTask());
  EXPECT_NE(testing::ReadBytes(Entry()).find("Exec=\"/home/u/bin/brevanto\"\n"), std::string::npos);

  EXPECT_TRUE(moved.DeleteTask());
  EXPECT_FALSE(moved.TaskExists());
  EXPECT_TRUE(log_.Entries().empty()) << log_.Text();
}

TEST_F(XdgAutoStartTest, DeletingAMissingEntryFailsWithTheSystemText) {
  XdgAutoStart task;
  EXPECT_FALSE(task.DeleteTask());
  EXPECT_TRUE(log_.HasMessage("DeleteTask failed (errno=2): No such file or directory"));
}

TEST_F(XdgAutoStartTest, TaskExistsIsSilentAndHonoursAnEntrySwitchedOff) {
  XdgAutoStart task;
  EXPECT_FALSE(task.TaskExists());
  config_.Write("autostart/Brevanto.desktop",
                "[Desktop Entry]\nName=Brevanto\nExec=brevanto\nHidden=true\n");
  EXPECT_FALSE(task.TaskExists());
  // Hidden in another group is not the entry's own switch.
  config_.Write("autostart/Brevanto.desktop",
                "[Desktop Entry]\nName=Brevanto\nExec=brevanto\n[Desktop Action x]\nHidden=true\n");
  EXPECT_TRUE(task.TaskExists());
  EXPECT_TRUE(log_.Entries().empty()) << log_.Text();
}

TEST_F(XdgAutoStartTest, FailuresAreLoggedAndNothingIsLeftHalfDone) {
  struct Case {
    const char* name;
    std::function<void()> arrange;
    ExecutablePath executable;
    std::vector<std::string> logged;
  };
  std::optional<ScopedSaveFailure> saveFailure;
  std::optional<ScopedEnv> configUnderAFile;
  const Case cases[] = {
      {"executable path unknown",
       [] {},
       {"", ENOENT},
       {"No such file or directory", "GetModuleFileNameW failed"}},
      {"folder cannot be made",
       [&] {
         config_.Write("file", "x");
         configUnderAFile.emplace("XDG_CONFIG_HOME", config_.File("file").c_str());
       },
       Fixed("/usr/bin/brevanto"),
       {"GetFolder failed (errno=20): Not a directory"}},
      {"entry cannot be written",
       [&] { saveFailure.emplace(SaveStep::Rename, EACCES); },
       Fixed("/usr/bin/brevanto"),
       {"RegisterTaskDefinition failed (errno=13): Permission denied"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(config_.path() / "autostart");
    saveFailure.reset();
    configUnderAFile.reset();
    c.arrange();
    const ExecutablePath executable = c.executable;
    XdgAutoStart task([executable] { return executable; });
    EXPECT_FALSE(task.CreateTask());
    for (const std::string& line : c.logged) EXPECT_TRUE(log_.HasMessage(line)) << log_.Text();
    EXPECT_FALSE(task.TaskExists());
  }
}

TEST(XdgAutoStart, EntryFollowsTheConfigurationFolderRules) {
  struct Case {
    const char* config;
    const char* home;
    std::string expected;
  };
  const Case cases[] = {
      {"/cfg", "/home/u", "/cfg/autostart/Brevanto.desktop"},
      {nullptr, "/home/u", "/home/u/.config/autostart/Brevanto.desktop"},
      {"", "/home/u", "/home/u/.config/autostart/Brevanto.desktop"},
      {"relative", "/home/u", "/home/u/.config/autostart/Brevanto.desktop"},
  };
  for (const Case& c : cases) {
    ScopedEnv config("XDG_CONFIG_HOME", c.config);
    ScopedEnv home("HOME", c.home);
    EXPECT_EQ(XdgAutoStart::EntryPath(), c.expected) << (c.config ? c.config : "unset");
  }
}

TEST(XdgAutoStart, ExecArgumentSurvivesTheDesktopEntryRules) {
  struct Case {
    const char* path;
    const char* quoted;
  };
  const Case cases[] = {
      {"/usr/bin/brevanto", R"("/usr/bin/brevanto")"},
      {"/home/u/My Games/brevanto", R"("/home/u/My Games/brevanto")"},
      {"/home/u/100%/brevanto", R"("/home/u/100%%/brevanto")"},
      {"/home/u/$HOME/b", R"("/home/u/\\$HOME/b")"},
      {"/home/u/a\"b`c/b", R"("/home/u/a\\"b\\`c/b")"},
      {"/home/u/back\\slash", R"("/home/u/back\\\\slash")"},
      {"/home/u/two\nlines", R"("/home/u/two\nlines")"},
      {"/home/u/日本語/brevanto", R"("/home/u/日本語/brevanto")"},
  };
  for (const Case& c : cases) EXPECT_EQ(QuoteExecArgument(c.path), c.quoted) << c.path;
}

TEST(XdgAutoStart, RunningExecutableIsThisProgram) {
  const ExecutablePath self = RunningExecutable();
  ASSERT_FALSE(self.path.empty()) << self.error;
  EXPECT_EQ(std::filesystem::path(self.path).filename(), "platform_tests");
  struct stat st {};
  EXPECT_EQ(::stat(self.path.c_str(), &st), 0);
}

}  // namespace
}  // namespace brevanto
