#include "core/settings/AppInfo.h"
#include "platform/fake/FakeSingleInstance.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <regex>

#include <filesystem>
#include <map>

#include "core/log/Logger.h"
#include "core/settings/DataDirectory.h"
#include "core/settings/IniDocument.h"
#include "platform/fake/RecordingShell.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

namespace brevanto {
namespace {

using testing::LogCapture;
using testing::ReadBytes;
using testing::TempDir;

// A machine of its own in a temporary folder: a home, a configuration folder
// and a place for the executable, with no variable of the real environment.
class AppInfoTest : public ::testing::Test {
 protected:
  AppInfoTest() {
    env_["HOME"] = dir_.File("home");
    env_["XDG_CONFIG_HOME"] = dir_.File("home/.config");
    std::filesystem::create_directories(dir_.File("home"));
    std::filesystem::create_directories(dir_.File("app"));
  }
  ~AppInfoTest() override { Logger::Instance().Close(); }

  StartupContext Context(std::vector<std::string> arguments = {"-q"}, const std::string& exe = "") {
    StartupContext context;
    context.executablePath = exe.empty() ? dir_.File("app/brevanto") : exe;
    context.arguments = {context.executablePath};
    context.arguments.insert(context.arguments.end(), arguments.begin(), arguments.end());
    context.environment = [env = env_](const std::string& name) -> std::optional<std::string> {
      const auto it = env.find(name);
      if (it == env.end()) return std::nullopt;
      return it->second;
    };
    context.shell = &shell_;
    return context;
  }

  std::string Documents() const { return dir_.File("home/Documents/Brevanto") + "/"; }

  TempDir dir_;
  std::map<std::string, std::string> env_;
  RecordingShell shell_;
};

TEST(AppInfoDataDirectory, IsResolvedInOrder) {
  struct Case {
    const char* name;
    std::map<std::string, std::string> env;
    std::vector<std::string> files;  // created below the temporary folder
    std::vector<std::string> arguments;
    std::string dataDir;  // below the temporary folder; "" for the documents folder
    std::string iniFile;  // below the temporary folder; "" for dataDir + Brevanto.ini
    std::string fileName;
  };
  const Case cases[] = {
      {"variable",
       {{"BREVANTO_DATA_DIR", "@custom"}},
       {"app/Brevanto.ini"},
       {"-q"},
       "custom/",
       "",
       ""},
      {"variable with slash", {{"BREVANTO_DATA_DIR", "@custom/"}}, {}, {"-q"}, "custom/", "", ""},
      {"ini variable", {{"BREVANTO_INI_FILE", "@etc/b.ini"}}, {}, {"-q"}, "", "etc/b.ini", ""},
      {"profile path beats variable",
       {{"BREVANTO_DATA_DIR", "@custom"}},
       {},
       {"-q", "@games/Race.cfg"},
       "games/",
       "",
       "Race"},
      {"bare profile name", {}, {}, {"-q", "Race"}, "", "", "Race"},
      {"portable ini", {}, {"app/Brevanto.ini"}, {"-q"}, "app/", "", ""},
      {"portable profile", {}, {"app/Game.CFG"}, {"-q"}, "app/", "", ""},
      {"folder without data", {}, {"app/readme.txt", "app/old.cfg/x"}, {"-q"}, "", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    auto expand = [&dir](std::string text) {
      return text.rfind('@', 0) == 0 ? dir.File(text.substr(1)) : text;
    };
    std::map<std::string, std::string> env{{"HOME", dir.File("home")}};
    for (const auto& [name, value] : c.env) env[name] = expand(value);
    for (const std::string& file : c.files) dir.Write(file, "");
    std::filesystem::create_directories(dir.File("app"));

    StartupContext context;
    context.executablePath = dir.File("app/brevanto");
    context.arguments = {context.executablePath};
    for (const std::string& argument : c.arguments) context.arguments.push_back(expand(argument));
    context.environment = [env](const std::string& name) -> std::optional<std::string> {
      const auto it = env.find(name);
      return it == env.end() ? std::nullopt : std::optional<std::string>(it->second);
    };

    const AppInfo info(context);
    const std::string dataDir =
        c.dataDir.empty() ? dir.File("home/Documents/Brevanto") + "/" : dir.File(c.dataDir);
    EXPECT_EQ(info.DataDir(), dataDir);
    EXPECT_EQ(info.IniFilePath(),
              c.iniFile.empty() ? dataDir + "Brevanto.ini" : dir.File(c.iniFile));
    EXPECT_EQ(info.settings.FileName, c.fileName);
    EXPECT_EQ(info.ExeDir(), dir.File("app") + "/");
    if (c.dataDir.empty()) {
      EXPECT_TRUE(std::filesystem::is_directory(info.DataDir()));
    }
    EXPECT_TRUE(info.NoLog());
  }
}

TEST(DataDirectory, SystemPrefixesAreSystemFolders) {
  EXPECT_TRUE(IsSystemInstallFolder("/usr/games/"));
  EXPECT_TRUE(IsSystemInstallFolder("/usr/local/bin/"));
  EXPECT_TRUE(IsSystemInstallFolder("/opt/brevanto/"));
  TempDir dir;
  EXPECT_FALSE(IsSystemInstallFolder(dir.Dir()));
}

TEST(DataDirectory, FolderTheUserCannotWriteIsASystemFolder) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write to any folder";
  TempDir dir;
  std::filesystem::permissions(
      dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  EXPECT_TRUE(IsSystemInstallFolder(dir.Dir()));
}

TEST_F(AppInfoTest, ProgramInASystemFolderUsesTheDocumentsFolder) {
  const AppInfo info(Context({"-q"}, "/usr/lib/brevanto/brevanto"));
  EXPECT_EQ(info.ExeDir(), "/usr/lib/brevanto/");
  EXPECT_EQ(info.DataDir(), Documents());
}

TEST_F(AppInfoTest, ProgramInAFolderTheUserCannotWriteIgnoresDataBesideIt) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write to any folder";
  dir_.Write("app/Brevanto.ini", "");
  std::filesystem::permissions(
      dir_.File("app"), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  const AppInfo info(Context());
  std::filesystem::permissions(dir_.File("app"), std::filesystem::perms::owner_all);
  EXPECT_EQ(info.DataDir(), Documents());
}

TEST_F(AppInfoTest, DocumentsFolderComesFromTheUserDirsFile) {
  dir_.Write("home/.config/user-dirs.dirs",
             "# written by xdg-user-dirs-update\n"
             "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
             "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
  EXPECT_EQ(AppInfo(Context()).DataDir(), dir_.File("home/Dokumente/Brevanto") + "/");

  dir_.Write("home/.config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"" + dir_.File("docs") + "\"\n");
  EXPECT_EQ(AppInfo(Context()).DataDir(), dir_.File("docs/Brevanto") + "/");

  // A value that is neither below $HOME nor absolute is not valid.
  dir_.Write("home/.config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"docs\"\n");
  EXPECT_EQ(AppInfo(Context()).DataDir(), Documents());
}

TEST_F(AppInfoTest, DocumentsFolderThatCannotBeCreatedStopsTheStart) {
  dir_.Write("notafolder", "");
  env_["HOME"] = dir_.File("notafolder");
  try {
    AppInfo info(Context());
    FAIL() << "constructed with data directory " << info.DataDir();
  } catch (const AppInfoError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create the data directory: \"" +
                                             dir_.File("notafolder/Documents/Brevanto") + "\"");
  }
}

TEST(CommandLine, OptionsEndAtTheProfileArgument) {
  struct Case {
    std::vector<std::string> arguments;
    bool noLog;
    bool refresh;
    std::string directory;
    std::string name;
  };
  const std::string cwd = std::filesystem::current_path().string();
  const Case cases[] = {
      {{"-q", "/games/Race.cfg"}, true, false, "/games/", "Race"},
      {{"-l", "Race"}, true, false, "", "Race"},
      {{"-r", "Race", "-q"}, false, true, "", "Race"},
      {{"Race", "Other"}, false, false, "", "Race"},
      {{"-x", "-", "-rq"}, false, true, "", ""},
      {{"My.Game.cfg"}, false, false, "", "My.Game"},
      {{"/Race.cfg"}, false, false, "/", "Race"},
      {{"games/Race.cfg"}, false, false, cwd + "/games/", "Race"},
      {{}, false, false, "", ""},
  };
  for (const Case& c : cases) {
    std::vector<std::string> arguments{"brevanto"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const CommandLine line = ParseCommandLine(arguments);
    SCOPED_TRACE(c.arguments.empty() ? "" : c.arguments.back());
    EXPECT_EQ(line.noLog, c.noLog);
    EXPECT_EQ(line.refreshDevicesRequest, c.refresh);
    EXPECT_EQ(line.profileDirectory, c.directory);
    EXPECT_EQ(line.profileName, c.name);
  }
}

TEST_F(AppInfoTest, WritesTheStartUpLinesToTheLogInTheDataDirectory) {
  {
    const AppInfo info(Context({"-r", "Race", "extra"}));
    EXPECT_FALSE(info.NoLog());
    EXPECT_TRUE(info.RefreshDevicesRequest());
  }
  Logger::Instance().Close();
  std::string log = ReadBytes(Documents() + "Brevanto.log");
  // Drop the time stamps: "yyyy/mm/dd hh:nn:ss.zzz ".
  std::string lines;
  for (std::size_t pos = 0; pos < log.size();) {
    std::size_t end = log.find("\r\n", pos);
    if (end == std::string::npos) end = log.size();
    const std::string line = log.substr(pos, end - pos);
    lines += (line.size() > 24 && line[4] == '/' ? line.substr(24) : line) + "\n";
    pos = end + 2;
  }
  // Line numbers of other files are not this test's business.
  lines = std::regex_replace(lines, std::regex(R"(\(DeviceTemplateManager\.cpp#\d+\))"),
                             "(DeviceTemplateManager.cpp#N)");
  const std::string exe = dir_.File("app/brevanto");
  EXPECT_EQ(lines,
            "Info   Starting Brevanto v7.3.2\n"
            "Info   ExeFile = " +
                exe +
                "\n"
                "Info   Args = " +
                exe +
                "\n"
                "Info   Args = -r\n"
                "Info   Args = Race\n"
                "Info   Args = extra\n"
                "Info   DataDirectory = " +
                Documents() +
                "\n"
                "Info   Profile = Race\n"
                "Info   IniFile = " +
                Documents() +
                "Brevanto.ini\n"
                // The template file is written back when the program ends.
                "Info   Saving button templates to a file: " +
                Documents() +
                "templates.json (DeviceTemplateManager.cpp#N)\n"
                "Application terminated\n");
}

TEST_F(AppInfoTest, OptionQWritesNoLogFile) {
  const AppInfo info(Context({"-q", "Race"}));
  EXPECT_FALSE(Logger::Instance().IsOpen());
  EXPECT_FALSE(std::filesystem::exists(Documents() + "Brevanto.log"));
}

// Every key with its default, in the order and form the file gets them.
const char kDefaultFile[] =
    "\xEF\xBB\xBF"
    "[DirectInput]\r\n"
    "AnalogDeadZone=1000\r\n"
    "AnalogSaturation=10000\r\n"
    "DefaultAxisMapping=-1:0:0:0:0:0:6:7\r\n"
    "\r\n"
    "[LastStatus]\r\n"
    "AllowMultipleRunning=0\r\n"
    "StartIconified=0\r\n"
    "ExitMeansMinimize=1\r\n"
    "HideWhenMinimized=0\r\n"
    "WindowPositionTop=-1\r\n"
    "WindowPositionLeft=-1\r\n"
    "WindowWidth=710\r\n"
    "WindowHeight=500\r\n"
    "SplitterPosition=248\r\n"
    "ListColumnWidthButton=75\r\n"
    "ListColumnWidthKeyboard=144\r\n"
    "ListColumnWidthAuto=44\r\n"
    "ListColumnWidthComment=140\r\n"
    "DarkMode=0\r\n"
    "FileName=\r\n"
    "HighlightButtons=1\r\n"
    "HighlightButtonsForAllTabs=0\r\n"
    "SkipForegroundProcessing=1\r\n"
    "NotifyBalloon=0\r\n"
    "NotifySoundFile=\r\n"
    "NotifyProfileImage=0\r\n"
    "ProfileImageDuration=2000\r\n"
    "ProfileImagePosition=3\r\n"
    "IgnoreInputAfterProfileSwitch=0\r\n"
    "IgnoreInputAfterShiftSwitch=0\r\n"
    "ShowDebugLog=0\r\n"
    "TurboMode=0\r\n"
    "XInputSupport=2\r\n"
    "AccelerationSharpness=3\r\n"
    "FontSizeProfileList=0\r\n"
    "FontSizeButtonList=0\r\n"
    "ProfileImageFullScreenRatio=0\r\n"
    "AutoDetectDevicesUpTo=1\r\n"
    "\r\n"
    "[DeviceConfig]\r\n"
    "Count=0\r\n";

TEST_F(AppInfoTest, MissingFileGivesEveryDefaultAndSavesEveryKey) {
  AppInfo info(Context());
  info.settings.SkipForegroundProcessing = false;  // must come back from the file
  EXPECT_FALSE(info.LoadSettings());
  EXPECT_EQ(info.settings, GlobalSettings{});
  ASSERT_TRUE(info.SaveSettings());
  EXPECT_EQ(ReadBytes(info.IniFilePath()), kDefaultFile);
}

TEST_F(AppInfoTest, SettingsRoundTripAndOtherSectionsSurvive) {
  const std::string file =
      "\xEF\xBB\xBF"
      "; kept\r\n"
      "[DirectInput]\r\n"
      "AnalogDeadZone=1500\r\n"
      "AnalogSaturation=9000\r\n"
      "DefaultAxisMapping=0:1:2:3:4:5:6:7\r\n"
      "\r\n"
      "[LastStatus]\r\n"
      "AllowMultipleRunning=1\r\n"
      "StartIconified=1\r\n"
      "ExitMeansMinimize=0\r\n"
      "HideWhenMinimized=1\r\n"
      "WindowPositionTop=10\r\n"
      "WindowPositionLeft=20\r\n"
      "WindowWidth=800\r\n"
      "WindowHeight=600\r\n"
      "SplitterPosition=300\r\n"
      "ListColumnWidthButton=80\r\n"
      "ListColumnWidthKeyboard=150\r\n"
      "ListColumnWidthAuto=50\r\n"
      "ListColumnWidthComment=160\r\n"
      "DarkMode=1\r\n"
      "FileName=レース\r\n"
      "HighlightButtons=0\r\n"
      "HighlightButtonsForAllTabs=1\r\n"
      "SkipForegroundProcessing=1\r\n"
      "NotifyBalloon=1\r\n"
      "NotifySoundFile=/snd/ding.wav\r\n"
      "NotifyProfileImage=1\r\n"
      "ProfileImageDuration=1500\r\n"
      "ProfileImagePosition=4\r\n"
      "IgnoreInputAfterProfileSwitch=-1\r\n"
      "IgnoreInputAfterShiftSwitch=500\r\n"
      "ShowDebugLog=1\r\n"
      "TurboMode=2\r\n"
      "XInputSupport=4\r\n"
      "AccelerationSharpness=2.5\r\n"
      "FontSizeProfileList=12\r\n"
      "FontSizeButtonList=11\r\n"
      "ProfileImageFullScreenRatio=0.75\r\n"
      "AutoDetectDevicesUpTo=3\r\n"
      "SomeFutureKey=x\r\n"
      "\r\n"
      "[DeviceConfig]\r\n"
      "Count=1\r\n"
      "\r\n"
      "[DeviceConfig-1]\r\n"
      "GUID=045E028E-1\r\n"
      "PUID=73270926\r\n"
      "Name=Xbox 360 Controller\r\n"
      "NameOverride=\r\n"
      "TemplateID=\r\n"
      "PreferredNumber=1\r\n"
      "AnalogDeadZone=2000\r\n"
      "AxisMapping=0:1:2:3:4:5:6:7\r\n"
      "\r\n"
      "[Unknown]\r\n"
      "Key=value\r\n";
  env_["BREVANTO_DATA_DIR"] = dir_.File("data");
  dir_.Write("data/Brevanto.ini", file);

  AppInfo info(Context());
  ASSERT_FALSE(info.LoadSettings());
  Logger::Instance().SetDebugEnabled(false);

  GlobalSettings expected;
  expected.AnalogDeadZone = 1500;
  expected.AnalogSaturation = 9000;
  expected.DefaultAxisMapping = {0, 1, 2, 3, 4, 5, 6, 7};
  expected.AllowMultipleRunning = true;
  expected.StartIconified = true;
  expected.ExitMeansMinimize = false;
  expected.HideWhenMinimized = true;
  expected.WindowPositionTop = 10;
  expected.WindowPositionLeft = 20;
  expected.WindowWidth = 800;
  expected.WindowHeight = 600;
  expected.SplitterPosition = 300;
  expected.ListColumnWidthButton = 80;
  expected.ListColumnWidthKeyboard = 150;
  expected.ListColumnWidthAuto = 50;
  expected.ListColumnWidthComment = 160;
  expected.DarkMode = true;
  expected.FileName = "レース";
  expected.HighlightButtons = false;
  expected.HighlightButtonsForAllTabs = true;
  expected.SkipForegroundProcessing = true;
  expected.NotifyBalloon = true;
  expected.NotifySoundFile = "/snd/ding.wav";
  expected.NotifyProfileImage = true;
  expected.ProfileImageDuration = 1500;
  expected.ProfileImagePosition = 4;
  expected.IgnoreInputAfterProfileSwitch = -1;
  expected.IgnoreInputAfterShiftSwitch = 500;
  expected.ShowDebugLog = true;
  expected.TurboMode = 2;
  expected.XInputSupport = 4;
  expected.AccelerationSharpness = 2.5;
  expected.FontSizeProfileList = 12;
  expected.FontSizeButtonList = 11;
  expected.ProfileImageFullScreenRatio = 0.75;
  expected.AutoDetectDevicesUpTo = 3;
  EXPECT_EQ(info.settings, expected);
  ASSERT_EQ(info.Devices().Count(), 1u);
  EXPECT_EQ(info.Devices().Find("045E028E-1")->AnalogDeadZone, 2000);
  EXPECT_EQ(info.Devices().Find("045E028E-1")->PreferredNumber, 1);

  // A device seen for the first time takes the global dead zone and mapping.
  const TDeviceConfig& fresh = info.Devices().FindOrCreate("{NEW}");
  EXPECT_EQ(fresh.AnalogDeadZone, 1500);
  EXPECT_EQ(fresh.axisMapping, (AxisMapping{0, 1, 2, 3, 4, 5, 6, 7}));
  info.Devices().Remove(&fresh);

  ASSERT_TRUE(info.SaveSettings());
  EXPECT_EQ(ReadBytes(info.IniFilePath()), file);
}

TEST_F(AppInfoTest, ShowDebugLogSwitchesTheLogsDebugLines) {
  dir_.Write("home/Documents/Brevanto/Brevanto.ini", "[LastStatus]\nShowDebugLog=1\n");
  AppInfo info(Context());
  Logger::Instance().SetDebugEnabled(false);
  info.LoadSettings();
  EXPECT_TRUE(Logger::Instance().DebugEnabled());
  Logger::Instance().SetDebugEnabled(false);
}

TEST_F(AppInfoTest, ProfileOnTheCommandLineWinsOverTheStoredOne) {
  dir_.Write("home/Documents/Brevanto/Brevanto.ini", "[LastStatus]\nFileName=Stored\n");
  AppInfo named(Context({"-q", "Race"}));
  named.LoadSettings();
  EXPECT_EQ(named.settings.FileName, "Race");
  AppInfo unnamed(Context());
  unnamed.LoadSettings();
  EXPECT_EQ(unnamed.settings.FileName, "Stored");
}

TEST(GlobalSettings, DamagedValuesReadAsTheirDefaults) {
  struct Case {
    const char* file;
    void (*check)(const GlobalSettings&);
  };
  const Case cases[] = {
      {"[LastStatus]\nWindowWidth=wide\nTurboMode=\nXInputSupport=2x\n",
       [](const GlobalSettings& s) {
         EXPECT_EQ(s.WindowWidth, 710);
         EXPECT_EQ(s.TurboMode, 0);
         EXPECT_EQ(s.XInputSupport, 2);
       }},
      {"[LastStatus]\nHighlightButtons=0\n",
       [](const GlobalSettings& s) { EXPECT_FALSE(s.SkipForegroundProcessing); }},
      {"[LastStatus]\nShowDebugLog=yes\nDarkMode=2\n",
       [](const GlobalSettings& s) {
         EXPECT_FALSE(s.ShowDebugLog);
         EXPECT_TRUE(s.DarkMode);
       }},
      // Out of the range the processing cycle can run with.
      {"[LastStatus]\nTurboMode=9\nAccelerationSharpness=1\n",
       [](const GlobalSettings& s) {
         EXPECT_EQ(s.TurboMode, 0);
         EXPECT_DOUBLE_EQ(s.AccelerationSharpness, 3.0);
       }},
      {"[LastStatus]\nTurboMode=-1\nAccelerationSharpness=-2\n",
       [](const GlobalSettings& s) {
         EXPECT_EQ(s.TurboMode, 0);
         EXPECT_DOUBLE_EQ(s.AccelerationSharpness, 3.0);
       }},
      {"[LastStatus]\nAccelerationSharpness=2,5\nProfileImageFullScreenRatio=half\n",
       [](const GlobalSettings& s) {
         EXPECT_DOUBLE_EQ(s.AccelerationSharpness, 2.5);
         EXPECT_DOUBLE_EQ(s.ProfileImageFullScreenRatio, 0.0);
       }},
      {"\x01\x02[LastStatus\n\xFF\xFE=\n[[]]\nWindowWidth",
       [](const GlobalSettings& s) { EXPECT_EQ(s, GlobalSettings{}); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    GlobalSettings settings;
    LogCapture log;
    ReadGlobalSettings(IniDocument::FromText(c.file), settings, false);
    c.check(settings);
  }
}

TEST(GlobalSettings, OutOfRangeValuesAreLogged) {
  LogCapture log;
  GlobalSettings settings;
  ReadGlobalSettings(
      IniDocument::FromText("[LastStatus]\nTurboMode=40\nAccelerationSharpness=0.5\n"), settings,
      false);
  EXPECT_NE(log.Text().find("Ignoring TurboMode=40"), std::string::npos);
  EXPECT_NE(log.Text().find("Ignoring AccelerationSharpness=0.500"), std::string::npos);
}

TEST(GlobalSettings, AxisMappingFillsTheEntriesItHas) {
  struct Case {
    const char* text;
    std::array<int, 8> mapping;
  };
  const Case cases[] = {
      {"0:1:3", {0, 1, 3, 0, 0, 0, 6, 7}},
      {"", {-1, 0, 0, 0, 0, 0, 6, 7}},
      {"2:x:5", {2, 0, 5, 0, 0, 0, 6, 7}},
      {" 4 : 5abc", {4, 5, 0, 0, 0, 0, 6, 7}},
      {"9:9:9:9:9:9:9:9:9", {9, 9, 9, 9, 9, 9, 9, 9}},
      {"::::::::1", {-1, 0, 0, 0, 0, 0, 6, 7}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    GlobalSettings settings;
    ReadGlobalSettings(
        IniDocument::FromText(std::string("[DirectInput]\nDefaultAxisMapping=") + c.text + "\n"),
        settings, false);
    EXPECT_EQ(settings.DefaultAxisMapping, c.mapping);
  }
}

TEST_F(AppInfoTest, SecondStartHandsItsRequestToTheRunningInstance) {
  struct Case {
    const char* ini;
    InstanceRole role;
    int calls;
    bool exits;
  };
  const Case cases[] = {
      {"[LastStatus]\nDarkMode=1\n", InstanceRole::HandedOver, 1, true},
      // An instance that did not answer still runs: this start ends too.
      {"[LastStatus]\nDarkMode=1\n", InstanceRole::HandOverFailed, 1, true},
      {"[LastStatus]\nDarkMode=1\n", InstanceRole::First, 1, false},
      {"[LastStatus]\nDarkMode=1\nAllowMultipleRunning=1\n", InstanceRole::HandedOver, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ini);
    SCOPED_TRACE(static_cast<int>(c.role));
    dir_.Write("home/Documents/Brevanto/Brevanto.ini", c.ini);
    AppInfo info(Context({"-q", "-r", "Race"}));
    auto instance = std::make_unique<FakeSingleInstance>();
    instance->role = c.role;
    FakeSingleInstance* fake = instance.get();
    info.SetSingleInstance(std::move(instance));
    EXPECT_EQ(info.LoadSettings(), c.exits);
    EXPECT_EQ(info.HandOverFailed(), c.exits && c.role == InstanceRole::HandOverFailed);
    EXPECT_EQ(static_cast<int>(fake->requests.size()), c.calls);
    if (c.calls > 0) {
      EXPECT_EQ(fake->requests.front(), (HandOverRequest{"Race", true}));
    }
    // An exiting start reads nothing further.
    EXPECT_EQ(info.settings.DarkMode, !c.exits);
  }
}

// With the log opened after the instance check, a second start leaves the
// running instance's log and template file alone; a first start writes the
// start-up lines before the settings are read.
TEST_F(AppInfoTest, LateLogIsOpenedOnlyByTheInstanceThatRuns) {
  const std::string data = Documents();
  struct Case {
    InstanceRole role;
    bool logReplaced;
  };
  for (const Case& c : {Case{InstanceRole::HandedOver, false}, Case{InstanceRole::First, true}}) {
    SCOPED_TRACE(c.logReplaced ? "first start" : "second start");
    dir_.Write("home/Documents/Brevanto/Brevanto.log", "running instance's log\r\n");
    std::filesystem::remove(data + "templates.json");
    {
      AppInfo info(Context({"Race"}), AppInfo::LogOpening::AfterInstanceCheck);
      auto instance = std::make_unique<FakeSingleInstance>();
      instance->role = c.role;
      info.SetSingleInstance(std::move(instance));
      EXPECT_EQ(info.LoadSettings(), !c.logReplaced);
    }
    Logger::Instance().Close();
    const std::string log = ReadBytes(data + "Brevanto.log");
    EXPECT_EQ(log.find("running instance's log") == std::string::npos, c.logReplaced);
    EXPECT_EQ(std::filesystem::exists(data + "templates.json"), c.logReplaced);
    if (c.logReplaced) {
      const std::size_t start = log.find("Info   Starting Brevanto v");
      const std::size_t profile = log.find("Info   Profile = Race");
      const std::size_t loading = log.find("Info   Loading ini file: " + data + "Brevanto.ini");
      ASSERT_NE(start, std::string::npos);
      ASSERT_NE(loading, std::string::npos);
      EXPECT_LT(start, profile);
      EXPECT_LT(profile, loading);
    }
  }
}

TEST_F(AppInfoTest, ReadOnlyFolderAndFileAreMadeWritable) {
  const std::string data = dir_.File("home/Documents/Brevanto");
  dir_.Write("home/Documents/Brevanto/Brevanto.ini", "[LastStatus]\nDarkMode=1\n");
  AppInfo info(Context());
  ASSERT_EQ(::chmod(info.IniFilePath().c_str(), 0444), 0);
  ASSERT_EQ(::chmod(data.c_str(), 0555), 0);

  LogCapture log;
  info.LoadSettings();
  struct stat st {};
  ASSERT_EQ(::stat(data.c_str(), &st), 0);
  EXPECT_NE(st.st_mode & S_IWUSR, 0u);
  ASSERT_EQ(::stat(info.IniFilePath().c_str(), &st), 0);
  EXPECT_NE(st.st_mode & S_IWUSR, 0u);
  EXPECT_TRUE(info.settings.DarkMode);
  const std::string text = log.Text();
  EXPECT_NE(text.find("Error  ConfigDir is read-only. Trying to make it writable..."),
            std::string::npos);
  EXPECT_NE(text.find("Error  INI file is read-only. Trying to make it writable..."),
            std::string::npos);
}

TEST_F(AppInfoTest, SettingsFileThatCannotBeReadIsNotOverwritten) {
  // A named pipe exists but is no file that can be read.
  env_["BREVANTO_INI_FILE"] = dir_.File("Brevanto.ini");
  ASSERT_EQ(::mkfifo(dir_.File("Brevanto.ini").c_str(), 0644), 0);
  AppInfo info(Context());
  info.LoadSettings();
  EXPECT_FALSE(info.SaveSettings());
  struct stat st {};
  ASSERT_EQ(::stat(info.IniFilePath().c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(AppInfoTest, DocumentsAndWebPagesGoToTheShell) {
  dir_.Write("tools/run.sh", "#!/bin/sh\n");
  ASSERT_EQ(::chmod(dir_.File("tools/run.sh").c_str(), 0755), 0);
  AppInfo info(Context());
  info.OpenWebPage("/ja/faq");
  EXPECT_TRUE(info.OpenDocument(info.DataDir()));
  EXPECT_TRUE(info.OpenDocument(dir_.File("tools/run.sh")));
  EXPECT_TRUE(info.OpenDocument("/usr/bin/env", "a b", "/tmp"));

  using Call = RecordingShell::Call;
  const std::vector<Call> expected{
      {Call::Kind::Open, "https://brevanto.example/ja/faq", "", ""},
      {Call::Kind::Open, info.DataDir(), "", ""},
      {Call::Kind::Launch, dir_.File("tools/run.sh"), "", ""},
      {Call::Kind::Launch, "/usr/bin/env", "a b", "/tmp"},
  };
  EXPECT_EQ(shell_.calls, expected);

  shell_.result = false;
  LogCapture log;
  EXPECT_FALSE(info.OpenDocument("https://brevanto.example/"));
  EXPECT_NE(log.Text().find("OpenDocument: cannot open \"https://brevanto.example/\""),
            std::string::npos);
}

}  // namespace
}  // namespace brevanto
