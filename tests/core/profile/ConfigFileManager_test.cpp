#include "core/profile/ConfigFileManager.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "core/engine/AssignmentLine.h"
#include "core/engine/ButtonEngine.h"
#include "core/engine/KeyOutput.h"
#include "core/engine/OutputSelection.h"
#include "core/processing/Messages.h"
#include "core/profile/ProfileManagerFixture.h"
#include "core/settings/AtomicFile.h"
#include "platform/fake/RecordingEvent.h"
#include "support/LogCapture.h"

namespace brevanto {
namespace {

using testing::InsideCycle;
using testing::LogCapture;
using testing::ProfileManagerTest;
using Names = std::vector<std::string>;

TEST_F(ProfileManagerTest, ListsProfileFilesSortedWithoutRegardToCase) {
  struct Case {
    const char* label;
    Names files;
    Names folders;
    Names expected;
  };
  const Case cases[] = {
      {"last extension only", {"a.b.cfg", "B.cfg"}, {}, {"a.b", "B"}},
      {"case ignored", {"zeta.cfg", "Alpha.cfg", "beta.cfg"}, {}, {"Alpha", "beta", "zeta"}},
      {"one name per case variant", {"race.cfg", "Race.cfg", "RACE.cfg"}, {}, {"RACE"}},
      {"full-width case variants", {"ａｂ.cfg", "Ａｂ.cfg", "b.cfg"}, {}, {"b", "Ａｂ"}},
      {"Japanese", {"設定.cfg", "テスト.cfg", "あいう.cfg"}, {}, {"あいう", "テスト", "設定"}},
      {"other files and folders",
       {"notes.txt", "x.cfg.bak", ".cfg", "Real.cfg", "upper.CFG"},
       {"Folder.cfg"},
       {"Real"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    std::filesystem::remove_all(dir.path());
    std::filesystem::create_directories(dir.path());
    for (const std::string& file : c.files) dir.Write(file, ProfileText(5));
    for (const std::string& folder : c.folders) std::filesystem::create_directory(dir.File(folder));
    Start();
    EXPECT_EQ(manager->Names(), c.expected);
    EXPECT_EQ(manager->Current()->Threshold, 5);
  }
}

TEST_F(ProfileManagerTest, AnEmptyFolderGivesTheFirstProfileWrittenAtItsFirstSave) {
  LogCapture log;
  ConfigFileManager& m = Start();
  EXPECT_EQ(m.Names(), Names{"最初の設定"});
  EXPECT_EQ(m.CurrentIndex(), 0);
  EXPECT_EQ(m.LastSelected(), 0);
  EXPECT_EQ(settings.FileName, "最初の設定");
  ConfigFile* current = m.Current();
  ASSERT_NE(current, nullptr);
  EXPECT_TRUE(current->modified);
  EXPECT_EQ(current->Threshold, 20);
  EXPECT_TRUE(dir.Names().empty());
  EXPECT_TRUE(log.HasMessage("ConfigDir=" + dir.Dir() + "*.cfg"));

  EXPECT_TRUE(m.Save(0));
  EXPECT_EQ(dir.Names(), Names{"最初の設定.cfg"});
  EXPECT_FALSE(current->modified);
}

TEST_F(ProfileManagerTest, StartsWithTheProfileTheSettingsNameElseTheFirst) {
  struct Case {
    const char* stored;
    const char* expected;
    const char* storedAfter;
  };
  const Case cases[] = {
      {"Rally", "Rally", "Rally"},
      {"rally", "Rally", "Rally"},  // the list's spelling is kept from here on
      {"Gone", "Alpha", "Alpha"},
      {"", "Alpha", "Alpha"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    settings.FileName = c.stored;
    ConfigFileManager& m = Start({"Alpha", "Rally", "Zulu"});
    EXPECT_EQ(m.CurrentName(), c.expected);
    EXPECT_EQ(m.LastSelected(), m.CurrentIndex());
    EXPECT_EQ(settings.FileName, c.storedAfter);
    EXPECT_EQ(m.Current()->Threshold, Index(c.expected) + 1);
  }
  // Listing publishes the profile to the cycle but posts nothing: the main
  // window fills itself when it is created.
  messages.Clear();
  cycle.Clear();
  manager->LoadList();
  ASSERT_EQ(cycle.resets.size(), 1u);
  EXPECT_EQ(cycle.resets[0], manager->Current());
  EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(ProfileManagerTest, LoadByIndexSavesReleasesSwitchesAndPublishes) {
  ConfigFileManager& m = Start({"A", "B", "C"});
  ConfigFile* a = m.Current();
  a->Threshold = 77;
  a->modified = true;

  EXPECT_EQ(m.LoadByIndex(1, false), 0);
  ConfigFile* b = m.Current();
  EXPECT_NE(b, a);
  EXPECT_EQ(b->Threshold, 2);
  EXPECT_FALSE(a->modified);
  EXPECT_NE(FileText("A.cfg").find("Threshold=77"), std::string::npos);
  EXPECT_TRUE(cycle.ReleasedAllOf(*a));
  EXPECT_EQ(cycle.injectedClears, 1);
  ASSERT_EQ(cycle.resets.size(), 1u);
  EXPECT_EQ(cycle.resets[0], b);
  EXPECT_EQ(ProfileChangedPosts(), 1);
  EXPECT_EQ(settings.FileName, "B");
  EXPECT_EQ(m.CurrentIndex(), 1);
  EXPECT_EQ(m.LastSelected(), 1);

  // An unmodified profile is not written when it is left; a temporary switch
  // leaves the user's choice alone.
  dir.Write("B.cfg", "[General]\nFileVersion=70\nThreshold=200\n; edited meanwhile\n");
  EXPECT_EQ(m.LoadByIndex(2, true), 0);
  EXPECT_EQ(FileText("B.cfg"), "[General]\nFileVersion=70\nThreshold=200\n; edited meanwhile\n");
  EXPECT_EQ(m.CurrentName(), "C");
  EXPECT_EQ(m.LastSelected(), 1);
  EXPECT_EQ(settings.FileName, "C");
}

TEST_F(ProfileManagerTest, LoadByIndexOfTheCurrentOrAMissingProfileChangesNothing) {
  LogCapture log;
  ConfigFileManager& m = Start({"A", "B"});
  ASSERT_EQ(m.LoadByIndex(1, true), 0);  // an application link chose B
  messages.Clear();
  cycle.Clear();
  struct Case {
    int index;
    int result;
  };
  for (const Case c : {Case{1, 0}, Case{-1, -1}, Case{2, -1}}) {
    SCOPED_TRACE(c.index);
    EXPECT_EQ(m.LoadByIndex(c.index, false), c.result);
    EXPECT_EQ(m.CurrentName(), "B");
    EXPECT_EQ(m.LastSelected(), 0);
  }
  EXPECT_TRUE(messages.Messages().empty());
  EXPECT_TRUE(cycle.released.empty());
  EXPECT_TRUE(cycle.resets.empty());
  EXPECT_TRUE(log.HasMessage("Cannot load config file: specified index 2 is out of range"));
  EXPECT_TRUE(log.HasMessage("Cannot load config file: specified index -1 is out of range"));
}

TEST_F(ProfileManagerTest, AProfileLoadedOnceIsNotReadAgain) {
  ConfigFileManager& m = Start({"A", "B"});
  ConfigFile* a = m.Current();
  a->Threshold2 = 444;  // an unsaved edit, kept in memory
  ASSERT_EQ(m.LoadByIndex(1, false), 0);
  // Saved when it was left (it was unmodified, so Threshold2 is not on disk).
  WriteProfile("A", 99);
  ASSERT_EQ(m.LoadByIndex(0, false), 0);
  EXPECT_EQ(m.Current(), a);
  EXPECT_EQ(m.Current()->Threshold, 1);
  EXPECT_EQ(m.Current()->Threshold2, 444);
}

TEST_F(ProfileManagerTest, LoadByNameIgnoresCaseAndReportsUnknownNames) {
  LogCapture log;
  ConfigFileManager& m = Start({"Alpha", "Ｂｅｔａ"});
  EXPECT_EQ(m.LoadByName("ｂＥＴＡ"), 0);
  EXPECT_EQ(m.CurrentName(), "Ｂｅｔａ");
  EXPECT_EQ(m.LoadByName("Gamma"), 1);
  EXPECT_EQ(m.CurrentName(), "Ｂｅｔａ");
  EXPECT_TRUE(log.HasMessage("Failed to load ConfigFile \"Gamma\" - cannot be found in the list"));
  EXPECT_EQ(ProfileChangedPosts(), 1);
}

TEST_F(ProfileManagerTest, LoadByInitialPrefersTheInitialStandingAlone) {
  struct Case {
    Names profiles;
    char32_t letter;
    const char* expected;  // "" when nothing matches
  };
  const Case cases[] = {
      {{"Race", "R-Type"}, U'R', "R-Type"},
      {{"Race", "Rally"}, U'r', "Race"},
      {{"Race", "R"}, U'r', "R"},
      {{"Rally", "R Type", "Race"}, U'r', "R Type"},
      {{"2nd", "1st"}, U'1', "1st"},
      {{"ゲーム", "Game"}, U'g', "Game"},
      {{"Ｒｅｄ"}, U'r', ""},
      {{"Race"}, U'x', ""},
      {{"-R"}, U'-', ""},  // the initial must be a letter or a digit
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.profiles));
    std::filesystem::remove_all(dir.path());
    std::filesystem::create_directories(dir.path());
    for (const std::string& name : c.profiles) WriteProfile(name, 1);
    WriteProfile("~start", 0);
    settings.FileName = "~start";
    ConfigFileManager& m = Start();
    ASSERT_EQ(m.CurrentName(), "~start");
    EXPECT_EQ(m.LoadByInitial(c.letter), *c.expected ? 0 : -1);
    EXPECT_EQ(m.CurrentName(), *c.expected ? c.expected : "~start");
    if (*c.expected) {
      EXPECT_EQ(m.LastSelected(), m.CurrentIndex());
    }
  }
}

TEST_F(ProfileManagerTest, SaveWritesTheCurrentProfileAndReportsAFailure) {
  ConfigFileManager& m = Start({"A", "B"});
  ASSERT_EQ(m.LoadByIndex(1, false), 0);
  ConfigFile* b = m.Current();
  b->Threshold = 55;
  b->modified = true;
  {
    ScopedSaveFailure failure(SaveStep::Rename, ENOSPC);
    EXPECT_FALSE(m.Save(1));
  }
  EXPECT_TRUE(b->modified);
  EXPECT_EQ(FileText("B.cfg"), ProfileText(2));
  EXPECT_TRUE(m.Save(1));
  EXPECT_FALSE(b->modified);
  EXPECT_NE(FileText("B.cfg").find("Threshold=55"), std::string::npos);
  EXPECT_EQ(FileText("A.cfg"), ProfileText(1));
}

TEST_F(ProfileManagerTest, AReadOnlyManagerNeverWritesAProfile) {
  ConfigFileManager& m = Start({"A", "B"});
  m.SetReadOnly(true);
  m.Current()->Threshold = 9;
  m.Current()->modified = true;
  EXPECT_FALSE(m.Save(0));
  ASSERT_EQ(m.LoadByIndex(1, false), 0);
  m.Current()->modified = true;
  m.Shutdown();
  EXPECT_EQ(FileText("A.cfg"), ProfileText(1));
  EXPECT_EQ(FileText("B.cfg"), ProfileText(2));
}

TEST_F(ProfileManagerTest, ShutdownRemembersAndSavesTheCurrentProfile) {
  ConfigFileManager& m = Start({"A", "B"});
  ASSERT_EQ(m.LoadByIndex(1, true), 0);
  m.Current()->Threshold = 66;
  m.Current()->modified = true;
  settings.FileName = "stale";
  m.Shutdown();
  EXPECT_EQ(settings.FileName, "B");
  EXPECT_NE(FileText("B.cfg").find("Threshold=66"), std::string::npos);
  EXPECT_EQ(m.Current(), nullptr);
}

// Application links: the profile a link chose is temporary; when no link
// matches, the policy decides whether and where to go back.
TEST_F(ProfileManagerTest, ApplicationLinksSwitchTemporarilyAndThePolicyDecidesTheWayBack) {
  struct Step {
    const char* path;
    const char* current;
    const char* lastSelected;
  };
  struct Case {
    const char* label;
    int policy;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {"back to the user's choice",
       AppLinkManager::kLastSelected,
       {{"/usr/bin/editor", "Home", "Home"},
        {"/usr/games/game", "Game", "Home"},
        {"/usr/games/game", "Game", "Home"},
        {"/usr/bin/editor", "Home", "Home"}}},
      {"to the default only after a link switched",
       AppLinkManager::kDefaultProfile,
       {{"/usr/bin/editor", "Home", "Home"},
        {"/usr/games/game", "Game", "Home"},
        {"/usr/bin/editor", "Default", "Default"},
        {"/usr/bin/other", "Default", "Default"}}},
      {"stay",
       AppLinkManager::kDoNothing,
       {{"/usr/games/game", "Game", "Home"}, {"/usr/bin/editor", "Game", "Home"}}},
      {"a link to a profile that is gone",
       AppLinkManager::kLastSelected,
       {{"/opt/ghost/run", "Home", "Home"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    links.Replace({{"Game", "game", "/usr/games/", ""}, {"Ghost", "Gone", "/opt/ghost/", ""}},
                  c.policy, "Default");
    settings.FileName = "Home";
    std::filesystem::remove_all(dir.path());
    std::filesystem::create_directories(dir.path());
    Start({"Default", "Game", "Home"});
    for (const Step& s : c.steps) {
      SCOPED_TRACE(s.path);
      InsideCycle(cycle, [&] { manager->OnTargetChanged(s.path, "title"); });
      EXPECT_EQ(manager->CurrentName(), s.current);
      EXPECT_EQ(LastSelectedName(), s.lastSelected);
    }
  }
}

TEST_F(ProfileManagerTest, ChoosingTheLinkedProfileKeepsTheUsersEarlierChoice) {
  links.Replace({{"Game", "Game", "/usr/games/", ""}}, AppLinkManager::kLastSelected, "");
  settings.FileName = "Home";
  ConfigFileManager& m = Start({"Game", "Home"});
  InsideCycle(cycle, [&] { m.OnTargetChanged("/usr/games/game", "Game"); });
  ASSERT_EQ(m.CurrentName(), "Game");
  // A click on the already current entry of the list.
  EXPECT_EQ(m.LoadByIndex(m.CurrentIndex(), false), 0);
  InsideCycle(cycle, [&] { m.OnTargetChanged("/usr/bin/editor", "Editor"); });
  EXPECT_EQ(m.CurrentName(), "Home");
  EXPECT_EQ(ProfileChangedPosts(), 2);
}

TEST_F(ProfileManagerTest, ASwitchRequestedInsideTheCycleIsTheUsersChoice) {
  links.Replace({{"Game", "Game", "/usr/games/", ""}}, AppLinkManager::kLastSelected, "");
  settings.FileName = "Home";
  ConfigFileManager& m = Start({"Game", "Home", "Menu"});
  InsideCycle(cycle, [&] { m.OnTargetChanged("/usr/games/game", "Game"); });
  EXPECT_EQ(InsideCycle(cycle, [&] { return m.SwitchTo("menu"); }), 0);
  EXPECT_EQ(m.CurrentName(), "Menu");
  EXPECT_EQ(LastSelectedName(), "Menu");
  EXPECT_EQ(InsideCycle(cycle, [&] { return m.SwitchTo("Nothing"); }), 1);
  // No link matches, but the current profile is the user's own choice now.
  InsideCycle(cycle, [&] { m.OnTargetChanged("/usr/bin/editor", "Editor"); });
  EXPECT_EQ(m.CurrentName(), "Menu");
  EXPECT_EQ(cycle.pauses, 0);
}

// The processing side with the button engine behind ForceRelease.
class EngineCycle final : public ProfileCycleHooks {
 public:
  void PauseCycle() override {}
  void ResumeCycle() override {}
  void ForceRelease(ButtonAssignment& record) override { brevanto::ForceRelease(record, context); }
  void ClearInjectedStates() override {}
  void ResetSlotContainers(ConfigFile&) override {}

  EngineContext context;
};

// A manager over the given profiles, with the recording output registered
// for the test's life.
class ConfigFileManagerWithEngine : public ::testing::Test {
 protected:
  ConfigFileManagerWithEngine() {
    RegisterOutputMethod(0, &out);
    SelectOutputMethod(0);
  }
  ~ConfigFileManagerWithEngine() override { RegisterOutputMethod(0, nullptr); }

  ConfigFileManager& Start(std::initializer_list<const char*> names) {
    for (const char* name : names)
      dir.Write(std::string(name) + ".cfg", "[General]\nFileVersion=70\n");
    manager = std::make_unique<ConfigFileManager>(dir.Dir(), settings, messages, cycle, collation);
    manager->LoadList();
    return *manager;
  }

  testing::TempDir dir;
  GlobalSettings settings;
  RecordingMessageSink messages;
  EngineCycle cycle;
  RecordingEvent out;
  const NameCollation collation{"C.UTF-8"};
  std::unique_ptr<ConfigFileManager> manager;
};

TEST_F(ConfigFileManagerWithEngine, LeavingAProfileLetsGoOfTheKeysItsButtonsHold) {
  ConfigFileManager& m = Start({"A", "B"});

  // A key held by a button of a joystick the profile no longer shows.
  ConfigFile& a = *m.Current();
  a.SetNumberOfJoysticks(3);
  ButtonAssignment& button = a.Joystick(2)->Button(PlainButton(1));
  ReadLine(button, "1, 41:00:00:00, 0.000, 0, 0", ConfigFile::kFileVersion);
  a.SetNumberOfJoysticks(1);
  cycle.context.tick = 1000;
  Process(button, 1000, cycle.context);
  ASSERT_EQ(KeyRefCount(0x41), 1);
  out.Clear();

  ASSERT_EQ(m.LoadByName("B"), 0);
  EXPECT_EQ(KeyRefCount(0x41), 0);
  ASSERT_EQ(out.Calls().size(), 1u);
  EXPECT_TRUE(out.Calls()[0].args[2] & AbstractEvent::kKeyUp);
}

// Processing ends (exit, suspend, a signal): what the current profile holds
// goes up, the profile stays current, and a second release sends nothing.
TEST_F(ConfigFileManagerWithEngine, ReleasingTheCurrentProfileLetsGoOfEveryHeldKey) {
  ConfigFileManager& m = Start({"A"});

  ConfigFile& a = *m.Current();
  ButtonAssignment& first = a.Joystick(0)->Button(PlainButton(1));
  ButtonAssignment& second = a.Joystick(0)->Button(PlainButton(2));
  ReadLine(first, "1, 41:00:00:00, 0.000, 0, 0", ConfigFile::kFileVersion);
  ReadLine(second, "1, 41:10:00:00, 0.000, 0, 0", ConfigFile::kFileVersion);
  cycle.context.tick = 1000;
  Process(first, 1000, cycle.context);
  Process(second, 1000, cycle.context);
  ASSERT_EQ(KeyRefCount(0x41), 2);
  ASSERT_EQ(KeyRefCount(0x10), 1);
  out.Clear();

  m.ReleaseCurrent();
  EXPECT_EQ(KeyRefCount(0x41), 0);
  EXPECT_EQ(KeyRefCount(0x10), 0);
  ASSERT_EQ(out.Calls().size(), 2u);
  for (const auto& call : out.Calls()) EXPECT_TRUE(call.args[2] & AbstractEvent::kKeyUp);
  EXPECT_EQ(m.Current(), &a);

  out.Clear();
  m.ReleaseCurrent();
  EXPECT_TRUE(out.Calls().empty());
}

}  // namespace
}  // namespace brevanto
