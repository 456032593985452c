#include "platform/linux/shell/LinuxShell.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/LogCapture.h"
#include "support/TempDir.h"

namespace brevanto {
namespace {

using testing::LogCapture;
using testing::ReadBytes;
using testing::TempDir;

namespace fs = std::filesystem;

constexpr auto kPatience = std::chrono::seconds(10);

// Sets an environment variable for the scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) saved_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (saved_)
      setenv(name_, saved_->c_str(), 1);
    else
      unsetenv(name_);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> saved_;
};

class ScopedWorkingFolder {
 public:
  explicit ScopedWorkingFolder(const fs::path& folder) : saved_(fs::current_path()) {
    fs::current_path(folder);
  }
  ~ScopedWorkingFolder() { fs::current_path(saved_); }
  ScopedWorkingFolder(const ScopedWorkingFolder&) = delete;
  ScopedWorkingFolder& operator=(const ScopedWorkingFolder&) = delete;

 private:
  fs::path saved_;
};

struct ProbeReport {
  std::string cwd;
  std::vector<std::string> argv;
};

// What the probe program wrote into folder, once it has run.
std::optional<ProbeReport> WaitForProbe(const fs::path& folder) {
  const fs::path out = folder / "probe.out";
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (!fs::exists(out)) {
    if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  const std::string bytes = ReadBytes(out.string());
  ProbeReport report;
  std::size_t start = 0;
  bool first = true;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find('\0', start);
    const std::string field = bytes.substr(start, end - start);
    if (first)
      report.cwd = field;
    else
      report.argv.push_back(field);
    first = false;
    start = end + 1;
  }
  return report;
}

// True when this process has no ended child left unwaited for.
bool NoZombieChild() {
  siginfo_t info{};
  const int rc = ::waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT);
  return rc != 0 || info.si_pid == 0;
}

bool AllChildrenWaitedFor(LinuxShell& shell) {
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (shell.RunningChildren() != 0 || !NoZombieChild()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

class LinuxShellTest : public ::testing::Test {
 protected:
  // A folder whose name needs quoting in any shell.
  fs::path WorkFolder(const std::string& name) {
    const fs::path folder = temp_.path() / name;
    fs::create_directories(folder);
    return folder;
  }
  // The probe under another name, in a folder of its own for PATH.
  fs::path ProbeAs(const std::string& name) {
    const fs::path folder = temp_.path() / "bin";
    fs::create_directories(folder);
    fs::create_symlink(BREVANTO_SHELL_PROBE, folder / name);
    return folder;
  }

  // Each test's programs are waited for by its own shell; one that outlived
  // its shell would end as a zombie in a later test's count.
  void TearDown() override {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (shell_.RunningChildren() != 0 && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }

  TempDir temp_;
  LinuxShell shell_;
};

TEST_F(LinuxShellTest, StartsAProgramWithQuotedParametersInItsWorkingFolder) {
  const fs::path work = WorkFolder("work folder 'q'");
  ASSERT_TRUE(shell_.Launch(BREVANTO_SHELL_PROBE,
                            R"("two words" 'single $HOME' plain\ escaped "" "日本 語")", work));
  const auto report = WaitForProbe(work);
  ASSERT_TRUE(report.has_value()) << "the program did not run";
  EXPECT_EQ(fs::path(report->cwd), fs::canonical(work));
  const std::vector<std::string> expected = {BREVANTO_SHELL_PROBE, "two words", "single $HOME",
                                             "plain escaped",      "",          "日本 語"};
  EXPECT_EQ(report->argv, expected);
}

TEST_F(LinuxShellTest, ShellSyntaxInParametersReachesTheProgramAsPlainWords) {
  struct Case {
    const char* parameters;
    std::vector<std::string> words;
  };
  const Case cases[] = {
      {"; rm -rf x", {";", "rm", "-rf", "x"}},
      {"$(rm -rf x) `rm -rf x` && rm -rf x | rm -rf x > y",
       {"$(rm", "-rf", "x)", "`rm", "-rf", "x`", "&&", "rm", "-rf", "x", "|", "rm", "-rf", "x", ">",
        "y"}},
  };
  int n = 0;
  for (const Case& c : cases) {
    const fs::path work = WorkFolder("case" + std::to_string(n++));
    std::ofstream(work / "x") << "keep";
    ASSERT_TRUE(shell_.Launch(BREVANTO_SHELL_PROBE, c.parameters, work));
    const auto report = WaitForProbe(work);
    ASSERT_TRUE(report.has_value()) << c.parameters;
    std::vector<std::string> expected = c.words;
    expected.insert(expected.begin(), BREVANTO_SHELL_PROBE);
    EXPECT_EQ(report->argv, expected) << c.parameters;
    EXPECT_TRUE(fs::exists(work / "x")) << "a shell ran: " << c.parameters;
    EXPECT_FALSE(fs::exists(work / "y")) << "a shell ran: " << c.parameters;
  }
}

TEST_F(LinuxShellTest, FindsAProgramNamedWithoutAPathOnPath) {
  const ScopedEnv path("PATH", "/nonexistent:" + ProbeAs("brevanto-probe").string());
  const fs::path work = WorkFolder("w");
  ASSERT_TRUE(shell_.Launch("brevanto-probe", "a", work.string()));
  const auto report = WaitForProbe(work);
  ASSERT_TRUE(report.has_value());
  EXPECT_EQ(report->argv, (std::vector<std::string>{"brevanto-probe", "a"}));
}

TEST_F(LinuxShellTest, DocumentsFoldersAndAddressesGoToXdgOpen) {
  const ScopedEnv path("PATH", ProbeAs("xdg-open").string());
  const fs::path work = WorkFolder("docs");

  // Not an executable: opened in the working folder, the parameters unused.
  ASSERT_TRUE(shell_.Launch("notes.txt", "--ignored", work.string()));
  auto report = WaitForProbe(work);
  ASSERT_TRUE(report.has_value());
  EXPECT_EQ(fs::path(report->cwd), fs::canonical(work));
  EXPECT_EQ(report->argv, (std::vector<std::string>{"xdg-open", "notes.txt"}));

  // A folder is not a program even though it can be entered.
  const fs::path folderWork = WorkFolder("folder");
  ASSERT_TRUE(shell_.Launch(work.string(), "", folderWork.string()));
  report = WaitForProbe(folderWork);
  ASSERT_TRUE(report.has_value());
  EXPECT_EQ(report->argv, (std::vector<std::string>{"xdg-open", work.string()}));

  const fs::path here = WorkFolder("here");
  const ScopedWorkingFolder cwd(here);
  ASSERT_TRUE(shell_.Open("https://example.org/a b?c=$d;e"));
  report = WaitForProbe(here);
  ASSERT_TRUE(report.has_value());
  EXPECT_EQ(report->argv, (std::vector<std::string>{"xdg-open", "https://example.org/a b?c=$d;e"}));
}

TEST_F(LinuxShellTest, EndedProgramsAreWaitedFor) {
  for (int i = 0; i < 3; ++i) {
    const fs::path work = WorkFolder("run" + std::to_string(i));
    ASSERT_TRUE(shell_.Launch(BREVANTO_SHELL_PROBE, "", work));
    ASSERT_TRUE(WaitForProbe(work).has_value());
  }
  EXPECT_TRUE(AllChildrenWaitedFor(shell_)) << "a started program was left as a zombie";
}

TEST_F(LinuxShellTest, FailuresAreLoggedAndReported) {
  const fs::path emptyBin = WorkFolder("empty-bin");
  struct Case {
    const char* program;
    const char* parameters;
    std::string startFrom;
    const char* logged;
  };
  const Case cases[] = {
      {"", "", "", "no program, document or address"},
      {BREVANTO_SHELL_PROBE, "'open", "", "quote that is not closed"},
      {BREVANTO_SHELL_PROBE, "", (temp_.path() / "missing").string(), "No such file or directory"},
      {"report.pdf", "", "", "xdg-open is not installed"},
  };
  const ScopedEnv path("PATH", emptyBin.string());
  for (const Case& c : cases) {
    const LogCapture log;
    EXPECT_FALSE(shell_.Launch(c.program, c.parameters, c.startFrom)) << c.program;
    EXPECT_NE(log.Text().find(c.logged), std::string::npos) << log.Text();
  }
  EXPECT_EQ(shell_.RunningChildren(), 0u);
}

TEST(ResolveExecutable, AcceptsOnlyExecutableRegularFiles) {
  TempDir temp;
  temp.Write("plain.txt", "text");
  const ScopedEnv path("PATH", temp.path().string());
  EXPECT_FALSE(LinuxShell::ResolveExecutable(temp.File("plain.txt")).has_value());
  EXPECT_FALSE(LinuxShell::ResolveExecutable(temp.path().string()).has_value());
  EXPECT_FALSE(LinuxShell::ResolveExecutable("plain.txt").has_value());
  EXPECT_FALSE(LinuxShell::ResolveExecutable("").has_value());
  EXPECT_EQ(LinuxShell::ResolveExecutable(BREVANTO_SHELL_PROBE), std::string(BREVANTO_SHELL_PROBE));
}

}  // namespace
}  // namespace brevanto
