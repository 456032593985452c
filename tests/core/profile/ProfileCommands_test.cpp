#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/engine/AssignmentLine.h"
#include "core/profile/ConfigFileManager.h"
#include "core/profile/ProfileManagerFixture.h"
#include "core/settings/IniDocument.h"

namespace brevanto {
namespace {

using testing::InsideCycle;
using testing::ProfileManagerTest;
using Answer = ProfilePrompt::Answer;
using Exchange = ScriptedProfilePrompt::Exchange;
using Names = std::vector<std::string>;

constexpr char kNamePrompt[] = "設定ファイルの名前を入力してください";

std::string Canonical(const ConfigFile& profile) {
  IniDocument doc;
  profile.Write(doc);
  return doc.Text();
}

class ProfileCommandsTest : public ProfileManagerTest {
 protected:
  // The data directory's files with their content, to show that a refused
  // or failed command left every file as it was.
  std::vector<std::pair<std::string, std::string>> Files() const {
    std::vector<std::pair<std::string, std::string>> files;
    for (const std::string& name : dir.Names()) {
      const bool folder = std::filesystem::is_directory(dir.File(name));
      files.emplace_back(name, folder ? "<folder>" : FileText(name));
    }
    return files;
  }
};

TEST_F(ProfileCommandsTest, NewSavesTheCurrentProfileAndMakesAnEmptyModifiedOne) {
  ConfigFileManager& m = Start({"A", "B"});
  ConfigFile* a = m.Current();
  a->Threshold = 5;
  a->modified = true;
  prompt.Name("Fresh");

  EXPECT_TRUE(m.New(prompt));
  EXPECT_EQ(prompt.Exchanges(),
            (std::vector<Exchange>{
                {Exchange::Kind::Name, "設定ファイルの新規作成", kNamePrompt, "", false}}));
  EXPECT_NE(FileText("A.cfg").find("Threshold=5"), std::string::npos);
  EXPECT_EQ(m.Names(), (Names{"A", "B", "Fresh"}));
  EXPECT_TRUE(Exists("Fresh.cfg"));
  EXPECT_EQ(FileText("Fresh.cfg"), "");
  EXPECT_EQ(m.CurrentName(), "Fresh");
  EXPECT_EQ(m.LastSelected(), 2);
  ConfigFile* fresh = m.Current();
  EXPECT_TRUE(fresh->modified);
  EXPECT_EQ(Canonical(*fresh), Canonical(ConfigFile()));
  EXPECT_TRUE(cycle.ReleasedAllOf(*a));
  ASSERT_FALSE(cycle.resets.empty());
  EXPECT_EQ(cycle.resets.back(), fresh);
  // The main window refreshes itself after the command.
  EXPECT_EQ(ProfileChangedPosts(), 0);

  // The empty file is filled at the first save.
  EXPECT_TRUE(m.Save(m.CurrentIndex()));
  EXPECT_NE(FileText("Fresh.cfg").find("FileVersion=70"), std::string::npos);
}

TEST_F(ProfileCommandsTest, NewCreatesOnlyANameTheUserConfirms) {
  struct Case {
    const char* label;
    std::function<void(ScriptedProfilePrompt&)> script;
    bool result;
    Names names;
    std::vector<std::string> errors;
  };
  const Case cases[] = {
      {"cancelled", [](auto& p) { p.Name(""); }, false, {"A", "B"}, {}},
      {"existing name in other case, cancelled",
       [](auto& p) { p.Name("a").Reply(Answer::Cancel); },
       false,
       {"A", "B"},
       {}},
      {"not overwritten, then a fresh name",
       [](auto& p) { p.Name("a").Reply(Answer::No).Name("C"); },
       true,
       {"A", "B", "C"},
       {}},
      {"a slash",
       [](auto& p) { p.Name("x/y").Name(""); },
       false,
       {"A", "B"},
       {"x/y は不正な名前です。"}},
      {"other characters Windows file names cannot hold",
       [](auto& p) { p.Name("a:b").Name("what?").Name("say \"hi\"").Name(""); },
       false,
       {"A", "B"},
       {"a:b は不正な名前です。", "what? は不正な名前です。", "say \"hi\" は不正な名前です。"}},
      {"a file that cannot be created, then a good name",
       [](auto& p) { p.Name("Folder").Name(std::string(300, 'x')).Name("Good"); },
       true,
       {"A", "B", "Good"},
       {"Folder は不正な名前です。", std::string(300, 'x') + " は不正な名前です。"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    std::filesystem::remove_all(dir.path());
    std::filesystem::create_directories(dir.path() / "Folder.cfg");
    ConfigFileManager& m = Start({"A", "B"});
    ConfigFile* a = m.Current();
    const auto before = Files();
    prompt = ScriptedProfilePrompt();
    c.script(prompt);

    EXPECT_EQ(m.New(prompt), c.result);
    EXPECT_EQ(m.Names(), c.names);
    EXPECT_EQ(prompt.Errors(), c.errors);
    EXPECT_EQ(FileText("A.cfg"), ProfileText(1));
    if (c.result) {
      EXPECT_EQ(m.CurrentName(), c.names.back());
    } else {
      EXPECT_EQ(Files(), before);
      EXPECT_EQ(m.Current(), a);
      EXPECT_TRUE(cycle.resets.empty());
    }
  }
}

TEST_F(ProfileCommandsTest, OverwritingReplacesTheProfileUnderItsListedName) {
  ConfigFileManager& m = Start({"Race", "Rally"});
  ConfigFile* race = m.Current();
  prompt.Name("RACE").Reply(Answer::Yes);

  EXPECT_TRUE(m.New(prompt));
  EXPECT_EQ(prompt.Exchanges().at(1),
            (Exchange{Exchange::Kind::Question, "Warning",
                      "RACE はすでに存在します。上書きしますか？", "", true}));
  EXPECT_EQ(m.Names(), (Names{"Race", "Rally"}));
  EXPECT_EQ(dir.Names(), (Names{"Race.cfg", "Rally.cfg"}));
  EXPECT_EQ(FileText("Race.cfg"), "");
  ConfigFile* replacement = m.Current();
  EXPECT_NE(replacement, race);
  EXPECT_EQ(Canonical(*replacement), Canonical(ConfigFile()));
  EXPECT_TRUE(replacement->modified);
  EXPECT_EQ(m.CurrentName(), "Race");
  EXPECT_TRUE(cycle.ReleasedAllOf(*race));
}

TEST_F(ProfileCommandsTest, CopyMakesACurrentModifiedDuplicateWithAnEmptyFile) {
  ConfigFileManager& m = Start({"Arcade", "Zed"});
  ConfigFile* arcade = m.Current();
  arcade->Threshold = 33;
  arcade->UsePOV8Way = true;
  arcade->ButtonAlias[56] = {57, -1, -1};
  ReadLine(arcade->Joystick(1)->Button(60), "1, 41:00:00:00, 0.000, 1, 0  ##punch", 70);
  ASSERT_TRUE(arcade->Joystick(1)->Button(60).IsAssigned());
  arcade->modified = true;
  prompt.Name("Arcade 2");

  EXPECT_TRUE(m.Copy(0, prompt));
  EXPECT_EQ(prompt.Exchanges().at(0).title, "設定ファイル \"Arcade\" のコピー先");
  EXPECT_NE(FileText("Arcade.cfg").find("Threshold=33"), std::string::npos);
  EXPECT_EQ(m.Names(), (Names{"Arcade", "Arcade 2", "Zed"}));
  EXPECT_EQ(m.CurrentName(), "Arcade 2");
  EXPECT_EQ(m.LastSelected(), 1);
  ConfigFile* copy = m.Current();
  EXPECT_NE(copy, arcade);
  EXPECT_TRUE(copy->modified);
  EXPECT_EQ(Canonical(*copy), Canonical(*arcade));
  EXPECT_EQ(FileText("Arcade 2.cfg"), "");
}

TEST_F(ProfileCommandsTest, SlotTemplatesResolveInLoadedCopiedAndNewProfiles) {
  const DeviceTemplateManager labels(dir.File("templates.json"),
                                     DeviceTemplateManager::Mode::ReadOnly);
  templates = &labels;
  dir.Write("Pad.cfg", "[General]\nFileVersion=70\n\n[Joystick 1]\nDefaultTemplateId=XBOX\n");
  ConfigFileManager& m = Start();
  const TDeviceTemplate* xbox = labels.Find("XBOX");
  ASSERT_NE(xbox, nullptr);
  EXPECT_EQ(m.Current()->Joystick(0)->resolvedTemplate, xbox) << "read from its file";

  prompt.Name("Pad 2");
  ASSERT_TRUE(m.Copy(0, prompt));
  EXPECT_EQ(m.Current()->Joystick(0)->resolvedTemplate, xbox) << "copied";

  prompt.Name("Fresh");
  ASSERT_TRUE(m.New(prompt));
  m.Current()->SetDefaultTemplateId(1, "PS4");
  EXPECT_EQ(m.Current()->Joystick(1)->resolvedTemplate, labels.Find("PS4")) << "created";
}

TEST_F(ProfileCommandsTest, RenameMovesTheFileTheNameAndTheProfile) {
  ConfigFileManager& m = Start({"A", "B", "C"});
  ASSERT_EQ(m.LoadByIndex(1, true), 0);
  ConfigFile* b = m.Current();
  b->Threshold = 7;
  b->modified = true;
  prompt.Name("Ｚｅｔａ");

  EXPECT_TRUE(m.Rename(1, prompt));
  EXPECT_EQ(prompt.Exchanges(),
            (std::vector<Exchange>{
                {Exchange::Kind::Name, "設定ファイル \"B\" の名称変更", kNamePrompt, "B", false}}));
  EXPECT_EQ(m.Names(), (Names{"A", "C", "Ｚｅｔａ"}));
  EXPECT_EQ(dir.Names(), (Names{"A.cfg", "C.cfg", "Ｚｅｔａ.cfg"}));
  // Saved before the move, whatever its modified flag said.
  EXPECT_NE(FileText("Ｚｅｔａ.cfg").find("Threshold=7"), std::string::npos);
  EXPECT_EQ(m.Current(), b);
  EXPECT_EQ(m.CurrentName(), "Ｚｅｔａ");
  EXPECT_EQ(m.LastSelected(), 2);
  EXPECT_EQ(settings.FileName, "Ｚｅｔａ");
  // The cache moved with the name: loading it again reuses the object.
  ASSERT_EQ(m.LoadByIndex(0, false), 0);
  ASSERT_EQ(m.LoadByName("ｚｅｔａ"), 0);
  EXPECT_EQ(m.Current(), b);
}

TEST_F(ProfileCommandsTest, RenameRefusesNamesInUseOrInvalidAndKeepsEverything) {
  struct Case {
    std::string name;
    std::string error;
  };
  const Case cases[] = {
      {"b", "b はすでに存在します。"},  // its own name in other case
      {"B", "B はすでに存在します。"},
      {"A", "A はすでに存在します。"},
      {"x/y", "x/y は不正な名前です。"},
      {"Taken", "Taken は不正な名前です。"},  // a file the list does not show
      {std::string(300, 'n'), std::string(300, 'n') + " は不正な名前です。"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.error);
    std::filesystem::remove_all(dir.path());
    std::filesystem::create_directories(dir.path() / "Taken.cfg");
    dir.Write("Taken.cfg/keep", "not a profile");
    ConfigFileManager& m = Start({"A", "B"});
    ASSERT_EQ(m.LoadByIndex(1, false), 0);
    ConfigFile* b = m.Current();
    // Rename saves the profile first; what that writes is not the point here.
    ASSERT_TRUE(m.Save(1));
    const auto before = Files();
    prompt = ScriptedProfilePrompt();
    prompt.Name(c.name).Name("");

    // Cancelling the name input ends the command as done.
    EXPECT_TRUE(m.Rename(1, prompt));
    EXPECT_EQ(prompt.Errors(), std::vector<std::string>{c.error});
    EXPECT_EQ(prompt.Exchanges().at(2).initial, "B");  // asked again
    EXPECT_EQ(m.Names(), (Names{"A", "B"}));
    EXPECT_EQ(Files(), before);
    EXPECT_EQ(m.Current(), b);
    EXPECT_EQ(m.CurrentName(), "B");
  }
}

TEST_F(ProfileCommandsTest, DeleteMakesTheFollowingOrElseThePreviousProfileCurrent) {
  struct Case {
    const char* deleted;
    const char* current;
  };
  for (const Case c : {Case{"A", "B"}, Case{"B", "C"}, Case{"C", "B"}}) {
    SCOPED_TRACE(c.deleted);
    std::filesystem::remove_all(dir.path());
    std::filesystem::create_directories(dir.path());
    ConfigFileManager& m = Start({"A", "B", "C"});
    ASSERT_EQ(m.LoadByName(c.deleted), 0);
    ConfigFile* deleted = m.Current();
    cycle.Clear();
    prompt = ScriptedProfilePrompt();
    prompt.Reply(Answer::Yes);

    EXPECT_TRUE(m.Delete(m.CurrentIndex(), prompt));
    EXPECT_EQ(prompt.Exchanges().at(0),
              (Exchange{Exchange::Kind::Question, "Warning",
                        std::string("\"") + c.deleted +
                            "\" を削除してもよろしいですか？（設定ファイルも削除されます）",
                        "", false}));
    EXPECT_FALSE(Exists(std::string(c.deleted) + ".cfg"));
    EXPECT_EQ(m.Names().size(), 2u);
    EXPECT_EQ(m.CurrentName(), c.current);
    EXPECT_EQ(m.LastSelected(), m.CurrentIndex());
    EXPECT_EQ(m.Current()->Threshold, c.current[0] - 'A' + 1);
    EXPECT_TRUE(cycle.ReleasedAllOf(*deleted));
    ASSERT_FALSE(cycle.resets.empty());
    EXPECT_EQ(cycle.resets.back(), m.Current());
  }
}

TEST_F(ProfileCommandsTest, DeleteThatIsRefusedOrFailsKeepsTheProfile) {
  struct Case {
    const char* label;
    Names profiles;
    std::function<void(ScriptedProfilePrompt&)> script;
    bool folderInPlace;  // the profile's file became a folder after listing
    std::vector<std::string> errors;
  };
  const Case cases[] = {
      {"the last profile", {"Only"}, [](auto&) {}, false, {"最低一つの設定ファイルが必要です。"}},
      {"not confirmed", {"A", "Only"}, [](auto& p) { p.Reply(Answer::No); }, false, {}},
      {"the file cannot be deleted",
       {"A", "Only"},
       [](auto& p) { p.Reply(Answer::Yes); },
       true,
       {"\"Only\" を削除できませんでした。"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    std::filesystem::remove_all(dir.path());
    std::filesystem::create_directories(dir.path());
    for (const std::string& name : c.profiles) WriteProfile(name, 1);
    settings.FileName = "Only";
    ConfigFileManager& m = Start();
    ASSERT_EQ(m.CurrentName(), "Only");
    if (c.folderInPlace) {
      std::filesystem::remove(dir.File("Only.cfg"));
      dir.Write("Only.cfg/inside", "x");
    }
    const auto before = Files();
    const ConfigFile* only = m.Current();
    cycle.Clear();
    prompt = ScriptedProfilePrompt();
    c.script(prompt);

    EXPECT_FALSE(m.Delete(m.CurrentIndex(), prompt));
    EXPECT_EQ(prompt.Errors(), c.errors);
    EXPECT_EQ(m.Names(), c.profiles);
    EXPECT_EQ(Files(), before);
    EXPECT_EQ(m.Current(), only);
    EXPECT_TRUE(cycle.released.empty());
  }
}

// The dialogs stay open while input runs, and the dialog itself may be the
// window an application link reacts to: the command must still act on the
// profile it was started for and leave the one that became current alone.
TEST_F(ProfileCommandsTest, AProfileSwitchWhileTheDialogIsOpenDoesNotMixProfilesUp) {
  links.Replace({{"Game", "Game", "/usr/games/", ""}}, AppLinkManager::kLastSelected, "");
  settings.FileName = "Home";
  ConfigFileManager& m = Start({"Game", "Home"});
  InsideCycle(cycle, [&] { m.OnTargetChanged("/usr/games/game", "Game"); });
  ASSERT_EQ(m.CurrentName(), "Game");
  ConfigFile* game = m.Current();
  const auto dialogTakesTheFocus = [&] {
    InsideCycle(cycle, [&] { m.OnTargetChanged("/usr/bin/brevanto", "設定ファイル"); });
  };
  prompt.Name("Arcade", dialogTakesTheFocus);

  EXPECT_TRUE(m.Rename(m.CurrentIndex(), prompt));
  EXPECT_EQ(m.Names(), (Names{"Arcade", "Home"}));
  EXPECT_EQ(dir.Names(), (Names{"Arcade.cfg", "Home.cfg"}));
  EXPECT_EQ(m.CurrentName(), "Home");
  EXPECT_EQ(m.Current()->Threshold, 2);
  ASSERT_EQ(m.LoadByName("Arcade"), 0);
  EXPECT_EQ(m.Current(), game);
}

}  // namespace
}  // namespace brevanto
