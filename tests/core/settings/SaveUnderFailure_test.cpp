// The program's four writers (profile, Brevanto.ini, AppLink.dat,
// templates.json) run in a child process that is killed at random moments,
// or whose writes fail: every file must stay the complete old or become the
// complete new content, and the program must still read it.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "core/applink/AppLinkManager.h"
#include "core/device/DeviceTemplateManager.h"
#include "core/profile/ConfigFile.h"
#include "core/settings/AppInfo.h"
#include "core/settings/AtomicFile.h"
#include "core/settings/IniDocument.h"
#include "platform/fake/RecordingShell.h"
#include "support/TempDir.h"

namespace brevanto {
namespace {

using testing::ReadBytes;
using testing::TempDir;

constexpr const char* kFiles[] = {"Race.cfg", "Brevanto.ini", "AppLink.dat", "templates.json"};
constexpr int kFileCount = 4;
// A child's exit code: one bit per file saved, and one for a profile that
// is still marked modified after its save.
constexpr int kAllSaved = 15;
constexpr int kStillModified = 16;

// Every file of one version holds the version's mark once, which makes it
// large enough (tens of kilobytes) for a kill to land inside its write.
std::string Mark(int version) {
  return "v" + std::to_string(version) + std::string(30000, static_cast<char>('a' + version));
}

// The program's own objects on a data directory, as a child process runs them.
class Writers {
 public:
  explicit Writers(const std::string& dataDir) : dataDir_(dataDir), app_(Context(dataDir)) {
    app_.LoadSettings();
  }

  // Saves the four files with the content of version, in the order the
  // program saves at exit; bit i of the result is set when file i was saved.
  int SaveAll(int version, ConfigFile& profile) {
    const std::string mark = Mark(version);
    profile.SetNumberOfJoysticks(8);
    for (int slot = 0; slot < 8; ++slot) {
      for (ButtonAssignment& record : profile.Joystick(slot)->Buttons()) {
        record.kind = AssignmentKind::Keys;
        record.keys[0][0] = 0x41 + static_cast<KeyCode>(version);
        record.comment = mark.substr(0, 40);
      }
    }
    profile.SoundFile = mark;
    profile.modified = true;
    int saved = profile.Save(dataDir_ + kFiles[0]) ? 1 : 0;

    app_.settings.FileName = "Race";
    app_.settings.NotifySoundFile = mark;
    if (app_.SaveSettings()) saved |= 2;

    std::vector<AppLink> links;
    for (int i = 0; i < 150; ++i) links.push_back({mark.substr(0, 40), "Race", "/usr/games/x", ""});
    links.back().Title = mark;
    AppLinkManager appLinks(dataDir_);
    appLinks.Replace(std::move(links), AppLinkManager::kDefaultProfile, "Race");
    if (appLinks.Save()) saved |= 4;

    DeviceTemplateManager& templates = app_.Templates();
    for (const auto& deviceTemplate : templates.Templates()) {
      deviceTemplate->SetName(mark);
    }
    templates.MarkModified();
    if (templates.Save()) saved |= 8;
    return saved;
  }

 private:
  static StartupContext Context(const std::string& dataDir) {
    StartupContext context;
    context.executablePath = dataDir + "brevanto";
    context.arguments = {context.executablePath};
    context.environment = [dataDir](const std::string& name) -> std::optional<std::string> {
      if (name == "BREVANTO_DATA_DIR") return dataDir;
      if (name == "HOME") return dataDir;
      return std::nullopt;
    };
    static RecordingShell shell;
    context.shell = &shell;
    return context;
  }

  std::string dataDir_;
  AppInfo app_;
};

// Runs the writers in a child process; returns its wait status. killAfter:
// the moment the child is killed, none to let it finish. limit: a file size
// limit for the child, which ignores SIGXFSZ as the program does.
int RunChild(const std::string& dataDir, int version,
             std::optional<std::chrono::microseconds> killAfter,
             std::optional<rlim_t> limit = std::nullopt) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    int code = 100;
    try {
      if (limit) {
        IgnoreFileSizeSignal();
        const rlimit r{*limit, *limit};
        ::setrlimit(RLIMIT_FSIZE, &r);
      }
      Writers writers(dataDir);
      ConfigFile profile;
      const int saved = writers.SaveAll(version, profile);
      code = saved | (profile.modified ? kStillModified : 0);
    } catch (...) {
    }
    ::_exit(code);
  }
  if (killAfter) {
    std::this_thread::sleep_for(*killAfter);
    ::kill(pid, SIGKILL);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

using Contents = std::array<std::string, kFileCount>;

Contents Snapshot(const TempDir& dir) {
  Contents contents;
  for (int i = 0; i < kFileCount; ++i) contents[i] = ReadBytes(dir.File(kFiles[i]));
  return contents;
}

// Puts the old files back and removes what a killed save left beside them.
void Restore(const TempDir& dir, const Contents& old) {
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    if (entry.path().filename().string().front() == '.') std::filesystem::remove(entry.path());
  }
  for (int i = 0; i < kFileCount; ++i) dir.Write(kFiles[i], old[i]);
}

// The version each file holds as the program reads it: 0 when it cannot be
// read or holds neither.
std::array<int, kFileCount> ReadVersions(const std::string& dataDir,
                                         const std::array<int, 2>& versions) {
  std::array<int, kFileCount> found{};
  auto which = [&](const std::string& text) {
    for (int v : versions) {
      if (text == Mark(v)) return v;
    }
    return 0;
  };
  ConfigFile profile;
  if (profile.Load(dataDir + kFiles[0]) == FileReadStatus::Ok) found[0] = which(profile.SoundFile);
  IniDocument ini;
  if (ini.Load(dataDir + kFiles[1])) {
    GlobalSettings settings;
    ReadGlobalSettings(ini, settings, false);
    found[1] = which(settings.NotifySoundFile);
  }
  AppLinkManager links(dataDir);
  links.Load();
  if (links.Links().size() == 150) found[2] = which(links.Links().back().Title);
  const DeviceTemplateManager templates(dataDir + kFiles[3], DeviceTemplateManager::Mode::ReadOnly);
  found[3] = which(templates.Templates().back()->Name());
  return found;
}

TEST(SaveUnderFailure, AKilledSaveLeavesTheCompleteOldOrNewFile) {
  TempDir dir;
  const std::string dataDir = dir.Dir();
  ASSERT_EQ(RunChild(dataDir, 1, std::nullopt), kAllSaved << 8);
  const Contents old = Snapshot(dir);
  ASSERT_EQ(ReadVersions(dataDir, {1, 2}), (std::array<int, kFileCount>{1, 1, 1, 1}));

  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(RunChild(dataDir, 2, std::nullopt), kAllSaved << 8);
  const auto lasts = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - start);
  const Contents fresh = Snapshot(dir);
  for (int i = 0; i < kFileCount; ++i) ASSERT_NE(old[i], fresh[i]) << kFiles[i];

  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::uniform_int_distribution<int64_t> moment(0, lasts.count() * 11 / 10);
  int killed = 0;
  int partly = 0;  // kills after some files were replaced and before others
  constexpr int kRounds = 120;
  for (int round = 0; round < kRounds; ++round) {
    Restore(dir, old);
    const int status = RunChild(dataDir, 2, std::chrono::microseconds(moment(random)));
    if (WIFSIGNALED(status)) ++killed;
    const Contents now = Snapshot(dir);
    int replaced = 0;
    for (int i = 0; i < kFileCount; ++i) {
      ASSERT_TRUE(now[i] == old[i] || now[i] == fresh[i])
          << kFiles[i] << " is neither old nor new after round " << round << " (" << now[i].size()
          << " bytes)";
      if (now[i] == fresh[i]) ++replaced;
    }
    if (replaced > 0 && replaced < kFileCount) ++partly;
    const std::array<int, kFileCount> read = ReadVersions(dataDir, {1, 2});
    for (int i = 0; i < kFileCount; ++i) {
      EXPECT_EQ(read[i], now[i] == fresh[i] ? 2 : 1) << kFiles[i] << " in round " << round;
    }
  }
  std::printf("[          ] %d of %d saves killed, %d between two files, a save lasts %lld us\n",
              killed, kRounds, partly, static_cast<long long>(lasts.count()));
  // The moments must fall inside the saves, or the test proves nothing.
  EXPECT_GT(killed, kRounds / 2);
  EXPECT_GT(partly, 0);
}

TEST(SaveUnderFailure, AWriteBeyondTheFileSizeLimitKeepsTheOldFileAndSaysSo) {
  TempDir dir;
  const std::string dataDir = dir.Dir();
  ASSERT_EQ(RunChild(dataDir, 1, std::nullopt), kAllSaved << 8);
  const Contents old = Snapshot(dir);
  for (const std::string& file : old) ASSERT_GT(file.size(), 24u * 1024) << "too small to fail";

  // Each save returns failure and the unsaved profile stays modified.
  const int status = RunChild(dataDir, 2, std::nullopt, 16 * 1024);
  ASSERT_TRUE(WIFEXITED(status)) << "the child died of signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), kStillModified);

  EXPECT_EQ(Snapshot(dir), old);
  EXPECT_EQ(ReadVersions(dataDir, {1, 2}), (std::array<int, kFileCount>{1, 1, 1, 1}));
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    EXPECT_NE(entry.path().filename().string().front(), '.') << "left behind: " << entry.path();
  }
  const std::string log = ReadBytes(dir.File("Brevanto.log"));
  for (const char* file : kFiles) {
    EXPECT_NE(log.find("Failed to write \"" + dataDir + file + "\""), std::string::npos)
        << file << "\n"
        << log;
  }
  EXPECT_NE(log.find("File too large"), std::string::npos) << log;
}

}  // namespace
}  // namespace brevanto
