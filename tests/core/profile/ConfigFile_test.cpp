#include "core/profile/ConfigFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <random>
#include <string>

#include "core/device/DeviceTemplateManager.h"
#include "core/engine/AssignmentLine.h"
#include "core/profile/ProfileKeys.h"
#include "core/settings/IniDocument.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

namespace brevanto {
namespace {

using testing::LogCapture;
using testing::ReadBytes;
using testing::TempDir;

std::string Fixture(const std::string& name) {
  return std::string(BREVANTO_TEST_DATA) + "/profiles/" + name;
}

// Everything the profile writes, for comparing two profiles.
std::string Canonical(const ConfigFile& profile) {
  IniDocument doc;
  profile.Write(doc);
  return doc.Text();
}

std::unique_ptr<ConfigFile> FromText(std::string_view text) {
  auto profile = std::make_unique<ConfigFile>();
  profile->Read(IniDocument::FromText(text));
  return profile;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(ConfigFile, ANewProfileHasTwoSlotsTheDefaultsAndIsModified) {
  const ConfigFile profile;
  EXPECT_TRUE(profile.modified);
  EXPECT_EQ(profile.NumberOfJoysticks(), 2);
  EXPECT_NE(profile.Joystick(0), nullptr);
  EXPECT_NE(profile.Joystick(1), nullptr);
  EXPECT_EQ(profile.Joystick(2), nullptr);
  EXPECT_EQ(profile.Joystick(-1), nullptr);
  EXPECT_EQ(profile.Joystick(50), nullptr);
  EXPECT_EQ(profile.NumberOfButtons, 32);
  EXPECT_EQ(profile.DisplayMode, 2);
  EXPECT_EQ(profile.Threshold, 20);
  EXPECT_EQ(profile.Threshold2, 20);
  EXPECT_EQ(profile.ButtonAlias, IdentityAliasTable());
  EXPECT_EQ(profile.Joystick(1)->Button(60).joystickIndex, 1);
}

TEST(ConfigFile, ANewProfileSavesAsTheDefaultFixture) {
  TempDir dir;
  ConfigFile profile;
  ASSERT_TRUE(profile.Save(dir.File("New.cfg")));
  EXPECT_FALSE(profile.modified);
  EXPECT_EQ(ReadBytes(dir.File("New.cfg")), ReadBytes(Fixture("new_default.cfg")));

  ConfigFile loaded;
  EXPECT_EQ(loaded.Load(Fixture("new_default.cfg")), FileReadStatus::Ok);
  EXPECT_FALSE(loaded.modified);
  EXPECT_EQ(Canonical(loaded), Canonical(ConfigFile{}));
}

TEST(ConfigFile, EveryKindAndOptionLoadsAndSavesByteForByte) {
  TempDir dir;
  const std::string path = dir.File("Every.cfg");
  std::filesystem::copy_file(Fixture("every_kind.cfg"), path);
  ConfigFile profile;
  ASSERT_EQ(profile.Load(path), FileReadStatus::Ok);

  EXPECT_EQ(profile.NumberOfJoysticks(), 3);
  EXPECT_EQ(profile.NumberOfButtons, 12);
  EXPECT_EQ(profile.DisplayMode, 3);
  EXPECT_TRUE(profile.UseDiagonalInput && profile.UseDiagonalInput2 && profile.UsePOV8Way &&
              profile.RepeatSameKeyInSequence);
  EXPECT_EQ(profile.Threshold, 150);
  EXPECT_EQ(profile.Threshold2, 50);
  EXPECT_EQ(profile.KeySendMode, 2);
  EXPECT_EQ(profile.SoundFile, "sounds/switch.wav");
  EXPECT_EQ(profile.ImageFile, "/home/user/Pictures/game.png");
  EXPECT_EQ(profile.VibrationSpeed1, 80);
  EXPECT_EQ(profile.VibrationSpeed2, 40);
  EXPECT_EQ(profile.VibrationDuration, 500);
  EXPECT_EQ(profile.ButtonAlias[16], (ButtonAliasTable::value_type{18, -1, -1}));
  EXPECT_EQ(profile.ButtonAlias[58], (ButtonAliasTable::value_type{56, 57, -1}));
  EXPECT_EQ(profile.ButtonAlias[59], (ButtonAliasTable::value_type{56, 57, 58}));
  EXPECT_EQ(profile.ButtonAlias[57], (ButtonAliasTable::value_type{57, -1, -1}));

  const ProfileJoystick& first = *profile.Joystick(0);
  EXPECT_EQ(first.DefaultDisplayName, "Arcade Stick");
  EXPECT_EQ(first.DefaultTemplateId, "xbox");
  EXPECT_EQ(first.Button(0).kind, AssignmentKind::Keys);
  EXPECT_EQ(first.Button(2).VMove, -50);
  EXPECT_EQ(first.Button(5).accelerationFactor, 2.5f);
  EXPECT_EQ(first.Button(15).repeatRate, -2.0f);
  EXPECT_EQ(first.Button(16).targetJoystick, 1);
  EXPECT_EQ(first.Button(18).targetName, "Racing");
  EXPECT_EQ(first.Button(47).keys[0][0], 0x101u);
  EXPECT_EQ(first.Button(48).multiMode, MultiMode::DelayedSwitch);
  EXPECT_EQ(first.Button(52).absCenterX, 25.5f);
  EXPECT_EQ(first.Button(55).counterResetDuration, 3000);
  EXPECT_EQ(first.Button(56).parameters, "-e htop");
  EXPECT_EQ(first.Button(57).pasteText, "Hello ${yyyy}-${MM}-${dd}\\nBye");
  EXPECT_EQ(first.Button(58).comment, "reserved");
  EXPECT_EQ(first.Button(67).scanCodes[0][0], 0x2A);
  EXPECT_EQ(profile.Joystick(1)->DefaultDisplayName, "パッド");
  EXPECT_EQ(profile.Joystick(2)->DefaultTemplateId, "ps4");
  EXPECT_EQ(profile.Joystick(2)->Button(3).VMove, 50);

  ASSERT_TRUE(profile.Save(path));
  EXPECT_EQ(ReadBytes(path), ReadBytes(Fixture("every_kind.cfg")));
}

TEST(ConfigFile, BelowVersion30NothingIsReadAndTheProfileStaysModified) {
  ConfigFile profile;
  EXPECT_EQ(profile.Load(Fixture("version29.cfg")), FileReadStatus::Ok);
  EXPECT_TRUE(profile.modified);
  EXPECT_EQ(Canonical(profile), Canonical(ConfigFile{}));
}

TEST(ConfigFile, Version42ReadsTwoFourWayHatsTheOldAxisOrderAndOldLines) {
  ConfigFile profile;
  profile.Load(Fixture("version42.cfg"));
  EXPECT_FALSE(profile.modified);
  EXPECT_EQ(profile.DisplayMode, 1) << "from UsePOV";
  EXPECT_TRUE(profile.UseDiagonalInput2) << "follows UseDiagonalInput";
  EXPECT_EQ(profile.Threshold, 100);
  const ProfileJoystick& j = *profile.Joystick(0);
  EXPECT_EQ(j.Button(8).keys[0][0], 0x41u) << "Axis4n is axis index 4";
  EXPECT_EQ(j.Button(7).HMove, 10) << "Axis6p is axis index 3";
  EXPECT_EQ(j.Button(20).keys[0][0], 0x28u) << "POV1-3 is down";
  EXPECT_EQ(j.Button(26).targetJoystick, 1) << "POV2-2 is right of the second hat";
  for (int b = 16; b < 48; ++b) {
    if (b != 20 && b != 26) {
      EXPECT_FALSE(j.Button(b).IsAssigned()) << b;
    }
  }
  EXPECT_EQ(j.Button(48).kind, AssignmentKind::Mouse);
  EXPECT_EQ(j.Button(48).analogFactor, 150);
  EXPECT_FALSE(j.Button(52).IsAssigned()) << "no second-stick diagonals before 50";
  EXPECT_EQ(j.Button(56).targetName, "Game2");
  EXPECT_EQ(j.Button(57).keys[0], (KeyCodes{0x41, 0x42, 0x43, 0}));
}

TEST(ConfigFile, Version43TakesTheDisplayModeFromTheFlagsButReadsEightWayHats) {
  ConfigFile profile;
  profile.Load(Fixture("version43.cfg"));
  EXPECT_EQ(profile.DisplayMode, 1);
  EXPECT_EQ(profile.Joystick(0)->Button(20).keys[0][0], 0x28u);
  EXPECT_EQ(profile.Joystick(0)->Button(39).keys[0][0], 0x24u);
}

TEST(ConfigFile, Version49IgnoresSecondStickDiagonalsAndReadsOldLines) {
  ConfigFile profile;
  profile.Load(Fixture("version49.cfg"));
  EXPECT_EQ(profile.DisplayMode, 2);
  EXPECT_TRUE(profile.UseDiagonalInput2);
  const ProfileJoystick& j = *profile.Joystick(0);
  EXPECT_EQ(j.Button(48).keys[0], (KeyCodes{0x27, 0x26, 0, 0}));
  EXPECT_FALSE(j.Button(52).IsAssigned());
  EXPECT_EQ(j.Button(56).wheelV, 5);
  EXPECT_FALSE(j.Button(57).IsAssigned()) << "a switch to joystick -1 is no assignment";
}

TEST(ConfigFile, AxisOrderChangesAfterVersion50) {
  ConfigFile v50;
  v50.Load(Fixture("version50.cfg"));
  EXPECT_EQ(v50.Joystick(0)->Button(8).keys[0][0], 0x41u);
  EXPECT_EQ(v50.Joystick(0)->Button(7).keys[0][0], 0x42u);
  EXPECT_EQ(v50.Joystick(0)->Button(52).keys[0][0], 0x43u) << "second-stick diagonals from 50";

  ConfigFile v55;
  v55.Load(Fixture("version55.cfg"));
  EXPECT_EQ(v55.Joystick(0)->Button(6).keys[0][0], 0x41u);
  EXPECT_FALSE(v55.Joystick(0)->Button(8).IsAssigned());
}

TEST(ConfigFile, MultiInputLayoutAndDiagonalFlagsFollowTheirVersions) {
  ConfigFile v55;
  v55.Load(Fixture("version55.cfg"));
  const ButtonAssignment& multi = v55.Joystick(0)->Button(56);
  EXPECT_EQ(multi.keys[2], (KeyCodes{0x47, 0x48, 0x49, 0}));
  EXPECT_EQ(multi.analogThreshold2, 90);

  ConfigFile v67;
  v67.Load(Fixture("version67.cfg"));
  EXPECT_EQ(v67.Joystick(0)->Button(56).keys[3][0], 0x44u);
  EXPECT_TRUE(v67.UseDiagonalInput2) << "UseDiagonalInput2 is not read before 68";

  ConfigFile v68;
  v68.Load(Fixture("version68.cfg"));
  EXPECT_TRUE(v68.UseDiagonalInput);
  EXPECT_FALSE(v68.UseDiagonalInput2);
}

TEST(ConfigFile, EveryFixtureSurvivesASaveAndReload) {
  const char* fixtures[] = {
      "new_default.cfg", "every_kind.cfg",   "version29.cfg",   "version42.cfg", "version43.cfg",
      "version49.cfg",   "version50.cfg",    "version55.cfg",   "version67.cfg", "version68.cfg",
      "utf16le.cfg",     "cp932_no_bom.cfg", "unknown_keys.cfg"};
  for (const char* name : fixtures) {
    TempDir dir;
    const std::string path = dir.File(name);
    std::filesystem::copy_file(Fixture(name), path);
    ConfigFile original;
    original.Load(path);
    ASSERT_TRUE(original.Save(path)) << name;
    const std::string saved = ReadBytes(path);
    EXPECT_EQ(saved.substr(0, 3), "\xEF\xBB\xBF") << name;
    EXPECT_EQ(IniDocument::FromBytes(saved).GetInt("General", "FileVersion", 0), 70) << name;

    ConfigFile reloaded;
    reloaded.Load(path);
    EXPECT_FALSE(reloaded.modified) << name;
    EXPECT_EQ(Canonical(reloaded), Canonical(original)) << name;
    ASSERT_TRUE(reloaded.Save(path)) << name;
    EXPECT_EQ(ReadBytes(path), saved) << name << ": a second save changes nothing";
  }
}

TEST(ConfigFile, TextInUtf16AndInCp932ReadsAndIsSavedAsUtf8) {
  TempDir dir;
  struct Case {
    const char* fixture;
    const char* displayName;
    const char* soundFile;
    const char* target;
  };
  const Case cases[] = {
      {"utf16le.cfg", "アーケード", "/home/user/音/切替.wav", "レース"},
      {"cp932_no_bom.cfg", "ジョイパッド", "C:\\サウンド\\切替.wav", "ゲーム２"},
  };
  for (const Case& c : cases) {
    const std::string path = dir.File(c.fixture);
    std::filesystem::copy_file(Fixture(c.fixture), path);
    ConfigFile profile;
    profile.Load(path);
    EXPECT_EQ(profile.Joystick(0)->DefaultDisplayName, c.displayName);
    EXPECT_EQ(profile.SoundFile, c.soundFile);
    EXPECT_EQ(profile.Joystick(0)->Button(56).targetName, c.target);
    ASSERT_TRUE(profile.Save(path));
    const std::string saved = ReadBytes(path);
    EXPECT_TRUE(Contains(saved, std::string("DefaultDisplayName=") + c.displayName)) << c.fixture;
    EXPECT_TRUE(Contains(saved, std::string("6, \"") + c.target + "\", 0")) << c.fixture;
  }
  ConfigFile utf16;
  utf16.Load(Fixture("utf16le.cfg"));
  EXPECT_EQ(utf16.Joystick(0)->Button(56).comment, "レースゲームへ");
  EXPECT_EQ(utf16.Joystick(0)->Button(57).pasteText, "こんにちは");
}

TEST(ConfigFile, WhatThisVersionDoesNotKnowSurvivesASave) {
  TempDir dir;
  const std::string path = dir.File("Unknown.cfg");
  std::filesystem::copy_file(Fixture("unknown_keys.cfg"), path);
  ConfigFile profile;
  profile.Load(path);
  EXPECT_EQ(profile.NumberOfButtons, 16) << "names match without regard to case";
  EXPECT_EQ(profile.Threshold, 30) << "the first of two equal keys wins";
  EXPECT_EQ(profile.DisplayMode, 0) << "Use8Axes is not read from a current file";
  EXPECT_FALSE(profile.Joystick(0)->Button(PlainButton(20)).IsAssigned())
      << "buttons beyond NumberOfButtons are not read";
  EXPECT_EQ(profile.Joystick(2), nullptr) << "a section beyond NumberOfJoysticks is ignored";
  ASSERT_TRUE(profile.Save(path));

  const std::string saved = ReadBytes(path);
  const char* kept[] = {
      "; written by hand\r\n\r\n[general]\r\nfileversion=70\r\n",
      "numberofbuttons=16\r\nUse8Axes=1\r\nFutureOption=7\r\nThreshold=30\r\n"
      "Threshold=90\r\n",
      "; keep this comment",
      "[Plugin]\r\nName=overlay\r\nEnabled=1\r\n",
      "DefaultDisplayName=Pad\r\nRumble=1\r\nAxis1n=1, 41:00:00:00, 0.000, 0, 0\r\n"
      "Button20=1, 42:00:00:00, 0.000, 0, 0\r\n",
      "[Joystick 3]\r\nAxis1n=1, 43:00:00:00, 0.000, 0, 0\r\n"};
  for (const char* text : kept) EXPECT_TRUE(Contains(saved, text)) << text << "\nin\n" << saved;
  EXPECT_LT(saved.find("[Plugin]"), saved.find("[Joystick 1]"));
  EXPECT_TRUE(Contains(saved, "[Joystick 2]\r\nDefaultDisplayName=\r\nDefaultTemplateId=\r\n"));
}

TEST(ConfigFile, AliasEntriesAreScannedAndIdentityEntriesRemovedOnSave) {
  struct Case {
    const char* value;
    ButtonAlias entry;  // of Button01, virtual button 56
    bool keptOnSave;
  };
  const Case cases[] = {
      {"57, -1, -1", {57, -1, -1}, true},
      {"57,58,59", {57, 58, 59}, true},
      {"56, -1, -1", {56, -1, -1}, false},
      {"56, -5, -2", {56, -5, -2}, false},  // both others negative: identity
      {"56, 60, -1", {56, 60, -1}, true},
      {"57, x, 3", {57, -1, -1}, true},  // stops at the first mismatch
      {"garbage", {56, -1, -1}, false},
      {"", {56, -1, -1}, false},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const std::string path = dir.File("Alias.cfg");
    dir.Write("Alias.cfg", std::string("[General]\nFileVersion=70\nNumberOfButtons=4\n"
                                       "[ButtonAlias]\nInput17=16, -1, -1\nInput18=16, -1, -1\n"
                                       "Button01=") +
                               c.value + "\nButton40=1, 2, 3\n");
    ConfigFile profile;
    profile.Load(path);
    EXPECT_EQ(profile.ButtonAlias[56], c.entry) << c.value;
    EXPECT_EQ(profile.ButtonAlias[17], (ButtonAlias{16, -1, -1})) << c.value;
    EXPECT_EQ(profile.ButtonAlias[95], (ButtonAlias{95, -1, -1})) << "beyond NumberOfButtons";
    ASSERT_TRUE(profile.Save(path));
    const std::string saved = ReadBytes(path);
    EXPECT_FALSE(Contains(saved, "Input17=")) << "its own index: removed";
    EXPECT_TRUE(Contains(saved, "Input18=16, -1, -1")) << c.value;
    EXPECT_EQ(Contains(saved, "Button01="), c.keptOnSave) << c.value;
    EXPECT_TRUE(Contains(saved, "Button40=1, 2, 3")) << "beyond NumberOfButtons: untouched";
  }
}

TEST(ConfigFile, KeysBeyondALoweredButtonCountStayInTheFileUnread) {
  TempDir dir;
  const std::string path = dir.File("Lower.cfg");
  ConfigFile profile;
  for (int b = 1; b <= 32; ++b) {
    ReadLine(profile.Joystick(0)->Button(PlainButton(b)), "1, 41:00:00:00, 0.000, 0, 0", 70);
  }
  ASSERT_TRUE(profile.Save(path));
  profile.NumberOfButtons = 16;
  profile.Joystick(0)->Button(PlainButton(1)).Clear();
  profile.Joystick(0)->Button(PlainButton(20)).Clear();
  ASSERT_TRUE(profile.Save(path));

  const std::string saved = ReadBytes(path);
  EXPECT_FALSE(Contains(saved, "Button01=")) << "a cleared button's key is deleted";
  EXPECT_TRUE(Contains(saved, "Button16=1, 41"));
  EXPECT_TRUE(Contains(saved, "Button20=1, 41")) << "not written, not deleted";
  EXPECT_TRUE(Contains(saved, "Button32=1, 41"));

  ConfigFile reloaded;
  reloaded.Load(path);
  EXPECT_EQ(reloaded.NumberOfButtons, 16);
  EXPECT_FALSE(reloaded.Joystick(0)->Button(PlainButton(17)).IsAssigned());
  EXPECT_TRUE(reloaded.Joystick(0)->Button(PlainButton(16)).IsAssigned());
}

TEST(ConfigFile, JoystickCountCreatesContainersAndKeepsHiddenOnes) {
  const auto profile = FromText(
      "[General]\nFileVersion=70\nNumberOfJoysticks=4\n"
      "[Joystick 4]\nAxis1n=1, 41:00:00:00, 0.000, 0, 0\n"
      "[Joystick 5]\nAxis1n=1, 42:00:00:00, 0.000, 0, 0\n");
  EXPECT_EQ(profile->NumberOfJoysticks(), 4);
  ASSERT_NE(profile->Joystick(2), nullptr);
  ASSERT_NE(profile->Joystick(3), nullptr);
  EXPECT_EQ(profile->Joystick(3)->Button(0).joystickIndex, 3);
  EXPECT_EQ(profile->Joystick(3)->Button(0).keys[0][0], 0x41u);
  EXPECT_EQ(profile->Joystick(4), nullptr);

  profile->SetNumberOfJoysticks(1);
  EXPECT_EQ(profile->NumberOfJoysticks(), 1);
  EXPECT_FALSE(Contains(Canonical(*profile), "Joystick 4"));
  profile->SetNumberOfJoysticks(4);
  EXPECT_EQ(profile->Joystick(3)->Button(0).keys[0][0], 0x41u) << "assignments come back";

  const std::pair<int, int> clamps[] = {{0, 1}, {-3, 1}, {51, 50}, {1000, 50}};
  for (const auto& [requested, used] : clamps) {
    profile->SetNumberOfJoysticks(requested);
    EXPECT_EQ(profile->NumberOfJoysticks(), used);
    EXPECT_NE(profile->Joystick(used - 1), nullptr);
  }
}

TEST(ConfigFile, AssignMakesADeepModifiedCopy) {
  ConfigFile source;
  source.Load(Fixture("every_kind.cfg"));
  source.Joystick(0)->Button(0).keysHeld = true;

  ConfigFile copy;
  copy.SetNumberOfJoysticks(5);
  ReadLine(copy.Joystick(4)->Button(0), "5, 1, 0", 70);
  copy.modified = false;
  copy.Assign(source);

  EXPECT_TRUE(copy.modified);
  EXPECT_EQ(copy.NumberOfJoysticks(), 3);
  EXPECT_EQ(copy.Joystick(3), nullptr) << "containers are rebuilt for the source's slots";
  EXPECT_EQ(Canonical(copy), Canonical(source));
  EXPECT_EQ(copy.Joystick(0)->DefaultDisplayName, "Arcade Stick");
  EXPECT_FALSE(copy.Joystick(0)->Button(0).keysHeld);
  EXPECT_EQ(copy.Joystick(2)->Button(3).joystickIndex, 2);

  source.Joystick(0)->Button(0).Clear();
  source.ButtonAlias[16] = ButtonAlias{16, -1, -1};
  EXPECT_EQ(copy.Joystick(0)->Button(0).kind, AssignmentKind::Keys) << "nothing is shared";
  EXPECT_EQ(copy.ButtonAlias[16].a, 18);
}

TEST(ConfigFile, TemplateIdsResolveExactlyInTheTemplateList) {
  TempDir dir;
  const DeviceTemplateManager templates(dir.File("templates.json"));
  const auto profile = std::make_unique<ConfigFile>(&templates);
  profile->Read(IniDocument::FromText(
      "[General]\nFileVersion=70\nNumberOfJoysticks=4\n[Joystick 1]\nDefaultTemplateId=XBOX\n"
      "[Joystick 2]\nDefaultTemplateId=xbox\n[Joystick 3]\nDefaultTemplateId=\n"));
  ASSERT_NE(profile->Joystick(0)->resolvedTemplate, nullptr);
  EXPECT_EQ(profile->Joystick(0)->resolvedTemplate, templates.Find("XBOX"));
  EXPECT_EQ(profile->Joystick(1)->resolvedTemplate, nullptr) << "ids compare exactly";
  EXPECT_EQ(profile->Joystick(1)->DefaultTemplateId, "xbox") << "an unknown id is kept";
  EXPECT_EQ(profile->Joystick(2)->resolvedTemplate, nullptr);

  profile->SetDefaultTemplateId(3, "PS4");
  EXPECT_EQ(profile->Joystick(3)->resolvedTemplate, templates.Find("PS4"));
  profile->SetDefaultTemplateId(3, "");
  EXPECT_EQ(profile->Joystick(3)->resolvedTemplate, nullptr);

  ConfigFile copy(&templates);
  copy.Assign(*profile);
  EXPECT_EQ(copy.Joystick(0)->resolvedTemplate, templates.Find("XBOX"));

  ConfigFile withoutList;
  withoutList.Assign(*profile);
  EXPECT_EQ(withoutList.Joystick(0)->DefaultTemplateId, "XBOX");
  EXPECT_EQ(withoutList.Joystick(0)->resolvedTemplate, nullptr);
}

TEST(ConfigFile, AMissingOrUnreadableFileGivesANewProfile) {
  TempDir dir;
  ConfigFile missing;
  EXPECT_EQ(missing.Load(dir.File("None.cfg")), FileReadStatus::Missing);
  EXPECT_TRUE(missing.modified);
  EXPECT_EQ(Canonical(missing), Canonical(ConfigFile{}));

  std::filesystem::create_directory(dir.File("Folder.cfg"));
  ConfigFile folder;
  EXPECT_EQ(folder.Load(dir.File("Folder.cfg")), FileReadStatus::Failed);
  EXPECT_TRUE(folder.modified);
  EXPECT_EQ(Canonical(folder), Canonical(ConfigFile{}));
}

TEST(ConfigFile, DamagedValuesFallBackToDefaultsAndAreLogged) {
  struct Case {
    const char* text;
    int joysticks;
    int buttons;
    int displayMode;
    const char* logged;
  };
  const Case cases[] = {
      {"[General]\nFileVersion=70\nNumberOfJoysticks=100000\n", 2, 32, 0,
       "NumberOfJoysticks=100000 is outside 1..50, using 2"},
      {"[General]\nFileVersion=70\nNumberOfJoysticks=0\nNumberOfButtons=129\n", 2, 32, 0,
       "NumberOfButtons=129 is outside 0..128, using 32"},
      {"[General]\nFileVersion=70\nNumberOfButtons=-1\nDisplayMode=x\n", 2, 32, 0,
       "General/DisplayMode is not a number, using 0"},
      {"[General]\nFileVersion=70\nNumberOfJoysticks=3\nNumberOfButtons=0\n", 3, 0, 0, ""},
      {"[General]\nFileVersion=7O\nNumberOfJoysticks=3\n", 2, 32, 2,
       "General/FileVersion is not a number, using 0"},
      {"[Joystick 1]\nAxis1n=1, 41:00:00:00, 0.000, 0, 0\n", 2, 32, 2, ""},
      {"[General]\nFileVersion=70\n", 2, 32, 0, ""},
  };
  for (const Case& c : cases) {
    LogCapture log;
    const auto profile = FromText(c.text);
    EXPECT_EQ(profile->NumberOfJoysticks(), c.joysticks) << c.text;
    EXPECT_EQ(profile->NumberOfButtons, c.buttons) << c.text;
    EXPECT_EQ(profile->DisplayMode, c.displayMode) << c.text;
    for (int slot = 0; slot < profile->NumberOfJoysticks(); ++slot) {
      EXPECT_NE(profile->Joystick(slot), nullptr);
    }
    if (*c.logged) {
      EXPECT_TRUE(Contains(log.Text(), c.logged)) << c.text << "\n" << log.Text();
    }
  }
}

TEST(ConfigFile, TruncatedAndGarbageFilesLoadWithoutHarm) {
  TempDir dir;
  const std::string full = ReadBytes(Fixture("every_kind.cfg"));
  std::mt19937 random(1234);
  std::vector<std::string> inputs;
  for (std::size_t cut = 0; cut < full.size(); cut += 37) inputs.push_back(full.substr(0, cut));
  inputs.push_back(full.substr(0, full.size() - 1));
  const std::string utf16 = ReadBytes(Fixture("utf16le.cfg"));
  inputs.push_back(utf16.substr(0, utf16.size() / 2 + 1));  // odd: half a code unit at the end
  for (int n = 0; n < 20; ++n) {
    std::string garbage(static_cast<std::size_t>(random() % 4000), '\0');
    for (char& ch : garbage) ch = static_cast<char>(random());
    if (n % 2 == 0) garbage = "[General]\nFileVersion=70\nNumberOfJoysticks=50\n" + garbage;
    inputs.push_back(garbage);
  }
  for (const std::string& bytes : inputs) {
    dir.Write("Damaged.cfg", bytes);
    ConfigFile profile;
    profile.Load(dir.File("Damaged.cfg"));
    ASSERT_GE(profile.NumberOfJoysticks(), 1);
    ASSERT_LE(profile.NumberOfJoysticks(), 50);
    ASSERT_GE(profile.NumberOfButtons, 0);
    ASSERT_LE(profile.NumberOfButtons, 128);
    ASSERT_TRUE(profile.Save(dir.File("Damaged.cfg")));
    ConfigFile reloaded;
    reloaded.Load(dir.File("Damaged.cfg"));
    EXPECT_EQ(Canonical(reloaded), Canonical(profile));
  }
}

TEST(ConfigFile, AFailedSaveLeavesTheOldFileAndTheModifiedFlag) {
  const SaveStep steps[] = {SaveStep::CreateTemporary, SaveStep::Write, SaveStep::Flush,
                            SaveStep::Rename};
  for (const SaveStep step : steps) {
    TempDir dir;
    const std::string path = dir.File("Game.cfg");
    std::filesystem::copy_file(Fixture("every_kind.cfg"), path);
    ConfigFile profile;
    profile.Load(path);
    profile.Threshold = 999;
    profile.modified = true;
    {
      LogCapture log;
      ScopedSaveFailure failure(step, ENOSPC);
      EXPECT_FALSE(profile.Save(path));
      EXPECT_FALSE(log.Text().empty()) << "the failure is logged";
    }
    EXPECT_TRUE(profile.modified);
    EXPECT_EQ(ReadBytes(path), ReadBytes(Fixture("every_kind.cfg")));
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"Game.cfg"}) << "no partial file is left";
  }
}

TEST(ConfigFile, SaveDoesNotReplaceAFileItCannotRead) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("Folder.cfg"));
  ConfigFile profile;
  LogCapture log;
  EXPECT_FALSE(profile.Save(dir.File("Folder.cfg")));
  EXPECT_TRUE(profile.modified);
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("Folder.cfg")));
  EXPECT_TRUE(Contains(log.Text(), "not saved"));
}

TEST(ConfigFile, LoadAndSaveAreLoggedAtDebugLevel) {
  TempDir dir;
  LogCapture log(/*debug=*/true);
  ConfigFile profile;
  profile.Load(Fixture("version68.cfg"));
  profile.Save(dir.File("Out.cfg"));
  EXPECT_TRUE(Contains(log.Text(), "Parsing ConfigFile \"" + Fixture("version68.cfg") + "\""));
  EXPECT_TRUE(Contains(log.Text(), "Saving ConfigFile \"" + dir.File("Out.cfg") + "\""));
}

}  // namespace
}  // namespace brevanto
