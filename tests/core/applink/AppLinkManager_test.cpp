#include "core/applink/AppLinkManager.h"

#include <gtest/gtest.h>

#include "core/text/Encoding.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

namespace brevanto {
namespace {

using testing::LogCapture;
using testing::ReadBytes;
using testing::TempDir;

std::vector<AppLink> MatchFixture() {
  return {
      {"Notepad", "P-path", "notepad", ""}, {"Readme", "P-both", "notepad", "readme"},
      {"Mail", "P-title", "", "Mail"},      {"Desktop", "P-desk", "_DESKTOP_", ""},
      {"Writer", "P-caps", "WRITER", ""},   {"Readme capital", "P-Readme", "", "Readme"},
      {"Nothing", "P-empty", "", ""},       {"Files", "P-files", "explorer.exe", ""},
      {"Umlaut", "P-uni", "ärger", ""},
  };
}

TEST(AppLinkMatch, PassesAndCaseRulesPickTheLink) {
  AppLinkManager links("/unused/");
  links.Replace(MatchFixture(), AppLinkManager::kLastSelected, "");
  struct Case {
    const char* path;
    const char* title;
    bool desktop;
    int expected;
  };
  const Case cases[] = {
      // Path and title beat path only, although the path-only link comes first.
      {"/usr/bin/notepad.exe", "readme.txt - Notepad", false, 1},
      {"/usr/bin/notepad.exe", "untitled", false, 0},
      // Path only beats title only, although the title-only link comes first.
      {"/usr/bin/writer", "Mail", false, 4},
      {"/usr/bin/thunderbird", "Inbox - Mail", false, 2},
      // Titles respect case, paths do not.
      {"/usr/bin/viewer", "readme only", false, -1},
      {"/usr/bin/viewer", "Readme file", false, 5},
      {"/HOME/U/ÄRGER/run", "x", false, 8},
      // The desktop and the panels.
      {"C:\\Windows\\explorer.exe", "", false, 3},
      {"", "", false, 3},
      {"/usr/bin/xfdesktop", "Desktop", true, 3},
      {"C:\\Windows\\explorer.exe", "Documents", false, 7},
      // A link that names neither path nor title never matches.
      {"/x", "y", false, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.path) + " / " + c.title);
    EXPECT_EQ(links.Match(c.path, c.title, c.desktop), c.expected);
  }
}

TEST(AppLinkMatch, LogsHowTheLinkWasFound) {
  AppLinkManager links("/unused/");
  links.Replace(MatchFixture(), AppLinkManager::kLastSelected, "");
  LogCapture log(/*debug=*/true);
  links.Match("/usr/bin/notepad.exe", "readme", false);
  links.Match("", "", false);
  links.Match("C:\\Windows\\explorer.exe", "", false);
  links.Match("/usr/bin/writer", "", false);
  links.Match("/usr/bin/viewer", "Readme", false);
  const std::string text = log.Text();
  for (const char* line : {
           "Debug  Matching application found by path and title [AppName=Readme, Profile=P-both, "
           "Path=notepad, Title=readme]",
           "Debug  TASKBAR?",
           "Debug  DESKTOP?",
           "Debug  Matching application found by path [AppName=Writer, Profile=P-caps, "
           "Path=WRITER, Title=]",
           "Debug  Matching application found by title [AppName=Readme capital, "
           "Profile=P-Readme, Path=, Title=Readme]",
       }) {
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
  }
}

class AppLinkFileTest : public ::testing::Test {
 protected:
  void WriteFile(const std::string& text, TextEncoding encoding = TextEncoding::Utf16LeBom) {
    dir_.Write(AppLinkManager::kFileName, EncodeText(text, encoding));
  }
  TempDir dir_;
  AppLinkManager links_{dir_.Dir()};
};

TEST_F(AppLinkFileTest, MissingFileLeavesAnEmptyTable) {
  LogCapture log;
  links_.Load();
  EXPECT_TRUE(links_.Links().empty());
  EXPECT_EQ(links_.GetPolicy(), AppLinkManager::kLastSelected);
  EXPECT_EQ(links_.DefaultProfile(), "");
  EXPECT_NE(log.Text().find("Info   Failed to find AppLink.dat"), std::string::npos);
}

TEST_F(AppLinkFileTest, SaveAndLoadReproduceTheTableIncludingSeparatorsInFields) {
  const std::vector<AppLink> table{
      {"Game", "Race", "/games/race", ""},
      {"Editor", "Edit", "", "a | b"},
      {"\"Quoted\" app", "P", "x", "say \"hi\""},
      {"日本", "プロ", "", "タイトル"},
      {"", "", "", ""},
  };
  links_.Replace(table, AppLinkManager::kDefaultProfile, "デフォルト");
  ASSERT_TRUE(links_.Save());

  // Only the fields that need it are quoted, so older versions read the rest.
  EXPECT_EQ(ReadBytes(links_.FilePath()), EncodeText("AppLinkData\r\n"
                                                     "46\r\n"
                                                     "2\r\n"
                                                     "デフォルト\r\n"
                                                     "Game|Race|/games/race|\r\n"
                                                     "Editor|Edit||\"a | b\"\r\n"
                                                     "\"\"\"Quoted\"\" app\"|P|x|say \"hi\"\r\n"
                                                     "日本|プロ||タイトル\r\n"
                                                     "|||\r\n",
                                                     TextEncoding::Utf16LeBom));

  AppLinkManager reread(dir_.Dir());
  reread.Load();
  EXPECT_EQ(reread.Links(), table);
  EXPECT_EQ(reread.GetPolicy(), AppLinkManager::kDefaultProfile);
  EXPECT_EQ(reread.DefaultProfile(), "デフォルト");
}

TEST_F(AppLinkFileTest, LineBreaksInAFieldCannotAddRecords) {
  links_.Replace({{"Two\r\nlines", "P", "x|y|z", "t\nu"}}, AppLinkManager::kDoNothing, "D\nE");
  ASSERT_TRUE(links_.Save());
  AppLinkManager reread(dir_.Dir());
  reread.Load();
  EXPECT_EQ(reread.Links(), (std::vector<AppLink>{{"Two  lines", "P", "x|y|z", "t u"}}));
  EXPECT_EQ(reread.DefaultProfile(), "D E");
}

TEST_F(AppLinkFileTest, FieldsAreSplitAtEverySeparatorAndQuotedFieldsReadWhole) {
  struct Case {
    std::string line;
    std::vector<AppLink> links;
  };
  const Case cases[] = {
      {"a|b", {}},
      {"", {}},
      {"a|b|c", {{"a", "b", "c", ""}}},
      {"a|b|c|", {{"a", "b", "c", ""}}},
      {"a|b|c|d|e", {{"a", "b", "c", "d"}}},
      {"|b|c", {{"", "b", "c", ""}}},
      {"\"x|y\"|b|c", {{"x|y", "b", "c", ""}}},
      {"\"say \"\"hi\"\"\"|b|c", {{"say \"hi\"", "b", "c", ""}}},
      {"a|\"q\"tail|c", {{"a", "qtail", "c", ""}}},
      {"\"open|b|c", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    WriteFile("AppLinkData\r\n46\r\n0\r\n\r\n" + c.line + "\r\n");
    links_.Load();
    EXPECT_EQ(links_.Links(), c.links);
  }
}

TEST_F(AppLinkFileTest, HeaderlessOldFileSplitsAtColons) {
  struct Case {
    std::string bytes;
    const char* name;
  };
  const std::string text = "Game:P3:game.exe\rWin:P4:C:\\games\\w.exe\nshort:x\r\n";
  const Case cases[] = {
      {EncodeText(text, TextEncoding::Utf16LeBom), "UTF-16"},
      {text, "no mark"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    links_.Replace({}, AppLinkManager::kDefaultProfile, "Before");
    dir_.Write(AppLinkManager::kFileName, c.bytes);
    links_.Load();
    EXPECT_EQ(links_.Links(), (std::vector<AppLink>{{"Game", "P3", "game.exe", ""},
                                                    {"Win", "P4", "C", "\\games\\w.exe"}}));
    EXPECT_EQ(links_.GetPolicy(), AppLinkManager::kLastSelected);
    EXPECT_EQ(links_.DefaultProfile(), "");
  }
}

TEST_F(AppLinkFileTest, FileWithoutAMarkMayBeJapaneseWindowsText) {
  dir_.Write(AppLinkManager::kFileName,
             "AppLinkData\r\n46\r\n2\r\n\x83\x76\x83\x8D\r\n\x83\x51|\x83\x76\x83\x8D|g.exe|\r\n");
  links_.Load();
  EXPECT_EQ(links_.DefaultProfile(), "プロ");
  EXPECT_EQ(links_.Links(), (std::vector<AppLink>{{"ゲ", "プロ", "g.exe", ""}}));
}

TEST_F(AppLinkFileTest, ShortHeaderIsInvalidAndKeepsThePolicy) {
  links_.Replace({{"a", "b", "c", ""}}, AppLinkManager::kDefaultProfile, "Before");
  WriteFile("AppLinkData\r\n46\r\n0\r\n");
  LogCapture log;
  links_.Load();
  EXPECT_TRUE(links_.Links().empty());
  EXPECT_EQ(links_.GetPolicy(), AppLinkManager::kDefaultProfile);
  EXPECT_EQ(links_.DefaultProfile(), "Before");
  EXPECT_NE(log.Text().find("Error  Failed to open \"AppLink.dat\": Invalid Data"),
            std::string::npos);
}

TEST_F(AppLinkFileTest, PolicyThatIsNotANumberKeepsTheLinks) {
  WriteFile("AppLinkData\r\nxx\r\ntwo\r\nDef\r\nA|B|C\r\n");
  LogCapture log;
  links_.Load();
  EXPECT_EQ(links_.GetPolicy(), AppLinkManager::kLastSelected);
  EXPECT_EQ(links_.DefaultProfile(), "Def");
  EXPECT_EQ(links_.Links().size(), 1u);
  EXPECT_NE(log.Text().find("Error  AppLink.dat: the policy is not a number"), std::string::npos);
}

TEST_F(AppLinkFileTest, LoadingLogsTheFileAndTheCount) {
  WriteFile("AppLinkData\r\n46\r\n1\r\n\r\nA|B|C\r\nshort\r\nD|E|F|G\r\n");
  LogCapture log(/*debug=*/true);
  links_.Load();
  const std::string text = log.Text();
  for (const char* line :
       {"Info   --- Loading \"AppLink.dat\" ---", "Debug  AppLinkData", "Debug  short",
        "Debug  D|E|F|G", "Info   --- Total 2 record(s) loaded ---"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
  }
}

}  // namespace
}  // namespace brevanto
