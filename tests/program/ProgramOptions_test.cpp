#include "app/program/ProgramOptions.h"

#include <gtest/gtest.h>

#include "core/settings/CommandLine.h"

namespace brevanto {
namespace {

TEST(ProgramOptions, LongOptionsAreTakenAndTheSettingsSeeOneWordEach) {
  struct Case {
    std::vector<std::string> arguments;
    std::string dataDir;
    std::string script;
    bool headless;
    std::string error;
    // What the settings' command line makes of the arguments handed on.
    std::string profile;
    bool refresh;
  };
  const Case cases[] = {
      {{"brevanto"}, "", "", false, "", "", false},
      // A value of its own word is never the profile argument.
      {{"brevanto", "--data-dir", "/d", "-r", "Race"}, "/d", "", false, "", "Race", true},
      {{"brevanto", "--data-dir=/d", "Race"}, "/d", "", false, "", "Race", false},
      {{"brevanto", "--virtual-pad", "pad.txt", "--headless", "-q"},
       "",
       "pad.txt",
       true,
       "",
       "",
       false},
      {{"brevanto", "--virtual-pad=pad.txt", "Race"}, "", "pad.txt", false, "", "Race", false},
      {{"brevanto", "--data-dir"}, "", "", false, "--data-dir needs a folder", "", false},
      {{"brevanto", "--virtual-pad="},
       "",
       "",
       false,
       "--virtual-pad needs a script file",
       "",
       false},
      // Unknown options are ignored; the rest of the line still counts.
      {{"brevanto", "--frobnicate", "-r", "Race"}, "", "", false, "", "Race", true},
      {{"brevanto", "--frobnicate=3", "--headless"}, "", "", true, "", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.size() > 1 ? c.arguments[1] : "no arguments");
    const ProgramOptions options = ParseProgramOptions(c.arguments);
    EXPECT_EQ(options.error, c.error);
    std::vector<std::string> unknown;
    for (const std::string& a : c.arguments) {
      if (a.starts_with("--frobnicate")) unknown.push_back(a);
    }
    EXPECT_EQ(options.unknown, unknown);
    if (!c.error.empty()) continue;
    EXPECT_EQ(options.dataDir, c.dataDir);
    EXPECT_EQ(options.virtualPadScript, c.script);
    EXPECT_EQ(options.headless, c.headless);
    const CommandLine line = ParseCommandLine(options.arguments);
    EXPECT_EQ(line.profileName, c.profile);
    EXPECT_EQ(line.refreshDevicesRequest, c.refresh);
  }
}

TEST(ProgramOptions, ScreenshotsTakeTheirFolderNeverAsTheProfile) {
  const ProgramOptions options =
      ParseProgramOptions({"brevanto", "--screenshots", "/pictures", "Race"});
  EXPECT_EQ(options.error, "");
  EXPECT_EQ(options.screenshotDir, "/pictures");
  EXPECT_EQ(ParseCommandLine(options.arguments).profileName, "Race");
  EXPECT_EQ(ParseProgramOptions({"brevanto", "--screenshots"}).error,
            "--screenshots needs a folder");
}

}  // namespace
}  // namespace brevanto
