#include "core/engine/AssignmentLine.h"

#include <gtest/gtest.h>

#include <string>

#include "core/engine/ButtonAssignment.h"
#include "support/DecimalCommaLocale.h"

namespace brevanto {
namespace {

constexpr int kCurrentVersion = 70;

std::string Reread(std::string_view line, int fileVersion = kCurrentVersion) {
  ButtonAssignment r;
  ReadLine(r, line, fileVersion);
  return WriteLine(r);
}

TEST(AssignmentLine, EveryKindReadsAndWritesBackTheSameLine) {
  const char* lines[] = {
      "1, 41:00:00:00, 0.000, 1, 0",
      "1, A2:43:00:00, 0.000, 0, 0",
      "1, 2A0041:A5:00:00, 10.500, 0, 250",
      "1, 41:00:00:00, -2.000, 0, 0  ##every two seconds",
      "2,   50,   0,   0, 0, 0, 0, 0.000, 0, 95, 1.0, 100, 0, 0, 0,    0  ##right",
      "2,  -20,-100,   5, 1, 1, 1, 3.000, 1, 50, 2.5, 150, 300, 1, 1,  -10",
      "5, 3, 500",
      "5, 0, 0",
      "6, \"Game2\", 0",
      "6, \"ゲーム 2\", 250  ##日本語のコメント",
      "7, 3, 300, 41:0:0:0, 42:43:0:0, 44:0:0:0, 0:0:0:0, 95, 100, 0.000, 0, 0, 20, 0",
      "7, 8, 0, A2:43:0:0, 0:0:0:0, 25:0:0:0, 801:0:0:0, 30, 60, 1.000, 1, 200, 50, 1500  ##seq",
      "8, 25.500000, 75.000000, 10, -10, 1, 0, 0, 0, 1, 0.000, 0, 0",
      "9, \"notepad.exe\", |memo.txt||",
      "9, \"/usr/bin/foot\", |-e htop|/home/user|  ##terminal",
      "10, ##Hello",
      "10, ##a\\nb ${yyyy} ## not a comment",
      "0  ##note",
      "0",
  };
  for (const char* line : lines) EXPECT_EQ(Reread(line), line);
}

TEST(AssignmentLine, ReadsTheFieldsOfTheDocumentedExamples) {
  ButtonAssignment r;
  ReadLine(r, "1, 41:00:00:00, 0.000, 1, 0", kCurrentVersion);
  EXPECT_EQ(r.kind, AssignmentKind::Keys);
  EXPECT_EQ(r.keys[0], (KeyCodes{0x41, 0, 0, 0}));
  EXPECT_EQ(r.toggle, 1);
  EXPECT_EQ(r.scanCodes[0][0], 0x1E) << "scan codes are derived after reading";

  ReadLine(r, "2,   50,   0,   0, 0, 0, 0, 0.000, 0, 95, 1.0, 100, 0, 0, 0,    0  ##right",
           kCurrentVersion);
  EXPECT_EQ(r.kind, AssignmentKind::Mouse);
  EXPECT_EQ(r.HMove, 50);
  EXPECT_EQ(r.analogThreshold1, 95);
  EXPECT_EQ(r.comment, "right");

  ReadLine(r, "9, \"notepad.exe\", |memo.txt||", kCurrentVersion);
  EXPECT_EQ(r.targetName, "notepad.exe");
  EXPECT_EQ(r.parameters, "memo.txt");
  EXPECT_EQ(r.startFrom, "");

  ReadLine(r, "10, ##Hello", kCurrentVersion);
  EXPECT_EQ(r.pasteText, "Hello");
  EXPECT_EQ(r.comment, "");

  ReadLine(r, "0  ##note", kCurrentVersion);
  EXPECT_EQ(r.kind, AssignmentKind::None);
  EXPECT_EQ(r.comment, "note");

  ReadLine(r, "8, 25.500000, 75.000000, 10, -10, 1, 0, 0, 0, 1, 0.000, 0, 0", kCurrentVersion);
  EXPECT_EQ(r.absCenterX, 25.5f);
  EXPECT_EQ(r.absCenterY, 75.0f);
  EXPECT_EQ(r.absRangeY, -10);
  EXPECT_EQ(r.clickLeft, 1);
  EXPECT_EQ(r.clickX2, 1);
}

TEST(AssignmentLine, ShortLinesFillWhatTheyReach) {
  ButtonAssignment r;
  ReadLine(r, "1, 41, 10.000, 0, 500", kCurrentVersion);
  EXPECT_EQ(r.keys[0], (KeyCodes{0x41, 0, 0, 0}));
  EXPECT_EQ(r.repeatRate, 10.0f);
  EXPECT_EQ(r.repeatDelay, 500);
  EXPECT_EQ(WriteLine(r), "1, 41:00:00:00, 10.000, 0, 500");

  ReadLine(r, "6, \"Game2\"", kCurrentVersion);
  EXPECT_EQ(r.kind, AssignmentKind::ProfileSwitch);
  EXPECT_EQ(r.targetName, "Game2");
  EXPECT_EQ(r.switchDelay, 0);
  EXPECT_EQ(WriteLine(r), "6, \"Game2\", 0");

  ReadLine(r, "2,   50, oops, 1", kCurrentVersion);
  EXPECT_EQ(r.HMove, 50);
  EXPECT_EQ(r.VMove, 0);
  EXPECT_EQ(r.wheelH, 0);
  EXPECT_EQ(r.accelerationFactor, 1.0f);
  EXPECT_EQ(r.analogFactor, 100);

  ReadLine(r, "1, 41:zz:43:44, 1.5", kCurrentVersion);
  EXPECT_EQ(r.keys[0], (KeyCodes{0x41, 0, 0x43, 0x44})) << "each key token is read by itself";
  EXPECT_EQ(r.repeatRate, 1.5f);
  EXPECT_EQ(r.toggle, 0);

  ReadLine(r, "9, \"x.exe\"", kCurrentVersion);
  EXPECT_EQ(r.targetName, "x.exe");
  EXPECT_EQ(WriteLine(r), "9, \"x.exe\", |||");

  ReadLine(r, "9, \"x.exe\", |-v|", kCurrentVersion);
  EXPECT_EQ(r.parameters, "-v");
  EXPECT_EQ(r.startFrom, "");

  ReadLine(r, "9, \"unclosed, |a|b|", kCurrentVersion);
  EXPECT_EQ(r.kind, AssignmentKind::LaunchProgram);
  EXPECT_EQ(r.targetName, "");
  EXPECT_EQ(r.parameters, "");
}

TEST(AssignmentLine, KindsWithoutALineAreWrittenAsNone) {
  struct Case {
    const char* line;
    int32_t kind;
    const char* written;
  };
  const Case cases[] = {
      {"", 0, "0"},         {"3, 1, 2", 3, "0"},
      {"4, 150", 4, "0"},   {"42  ##kept", 42, "0  ##kept"},
      {"-7", -7, "0"},      {"x, 1, 2", 0, "0"},
      {"5, -1, 0", 0, "0"},  // a switch to no joystick is no assignment
      {"10", 10, "10, ##"},
  };
  for (const Case& c : cases) {
    ButtonAssignment r;
    ReadLine(r, c.line, kCurrentVersion);
    EXPECT_EQ(static_cast<int32_t>(r.kind), c.kind) << c.line;
    EXPECT_EQ(WriteLine(r), c.written) << c.line;
  }
}

TEST(AssignmentLine, MultiInputLayoutFollowsTheFileVersion) {
  const char* line = "7, 3, 300, 41:42:43, 44:45:46, 47:48:49, 80, 90";
  ButtonAssignment old;
  ReadLine(old, line, 55);
  EXPECT_EQ(old.multiMode, MultiMode::DelayedSwitch);
  EXPECT_EQ(old.switchDelay, 300);
  EXPECT_EQ(old.keys[0], (KeyCodes{0x41, 0x42, 0x43, 0}));
  EXPECT_EQ(old.keys[1], (KeyCodes{0x44, 0x45, 0x46, 0}));
  EXPECT_EQ(old.keys[2], (KeyCodes{0x47, 0x48, 0x49, 0}));
  EXPECT_EQ(old.keys[3], (KeyCodes{}));
  EXPECT_EQ(old.analogThreshold1, 80);
  EXPECT_EQ(old.analogThreshold2, 90);
  EXPECT_EQ(old.minimumHoldDuration, 20);
  EXPECT_EQ(WriteLine(old),
            "7, 3, 300, 41:42:43:0, 44:45:46:0, 47:48:49:0, 0:0:0:0, 80, 90, 0.000, 0, 0, 20, 0");

  // The same line under the four-key layout stops at the first missing colon.
  ButtonAssignment current;
  ReadLine(current, line, 56);
  EXPECT_EQ(current.keys[0], (KeyCodes{0x41, 0x42, 0x43, 0}));
  EXPECT_EQ(current.keys[1], (KeyCodes{}));
  EXPECT_EQ(current.analogThreshold1, 95);
}

TEST(AssignmentLine, OldGenerationLines) {
  ButtonAssignment r;
  ReadLine(r, "4, 150", 49);
  EXPECT_EQ(r.kind, AssignmentKind::Mouse);
  EXPECT_EQ(r.analogFactor, 150);
  EXPECT_EQ(r.HMove | r.VMove | r.wheelV | r.wheelH, 0);
  EXPECT_EQ(WriteLine(r), "2,    0,   0,   0, 0, 0, 0, 0.000, 0, 95, 1.0, 150, 0, 0, 0,    0");

  ReadLine(r, "1, 41:42:43, 2.500000, 1", 40);
  EXPECT_EQ(r.keys[0], (KeyCodes{0x41, 0x42, 0x43, 0}));
  EXPECT_EQ(r.repeatRate, 2.5f);
  EXPECT_EQ(r.toggle, 1);
  EXPECT_EQ(r.repeatDelay, 0);

  ReadLine(r, "2, 10, -20, 3, 1, 0, 1, 0.500000, 0, 80, 1.500000", 49);
  EXPECT_EQ(r.HMove, 10);
  EXPECT_EQ(r.VMove, -20);
  EXPECT_EQ(r.wheelV, 3);
  EXPECT_EQ(r.clickRight, 1);
  EXPECT_EQ(r.repeatRate, 0.5f);
  EXPECT_EQ(r.analogThreshold1, 80);
  EXPECT_EQ(r.accelerationFactor, 1.5f);
  EXPECT_EQ(r.analogFactor, 100);

  ReadLine(r, "5, 2", 49);
  EXPECT_EQ(r.kind, AssignmentKind::JoystickSwitch);
  EXPECT_EQ(r.targetJoystick, 2);
  ReadLine(r, "5, -1", 49);
  EXPECT_EQ(r.kind, AssignmentKind::None);
  EXPECT_EQ(r.targetJoystick, 0);

  // Version 50 already reads the current syntax: "4, 150" is only a kind.
  ReadLine(r, "4, 150", 50);
  EXPECT_EQ(static_cast<int32_t>(r.kind), 4);
  EXPECT_EQ(r.analogFactor, 100);

  ReadLine(r, "7, 3, 300, 41:0:0:0", 49);
  EXPECT_EQ(r.kind, AssignmentKind::MultiInput);
  EXPECT_EQ(r.switchDelay, 0) << "old lines of other kinds carry only the kind";

  ReadLine(r, "1, 41:00:00, 0.000000, 0  ##x", 49);
  EXPECT_EQ(r.comment, "") << "old lines have no comments";
}

TEST(AssignmentLine, OldProfileSwitchCutsTheClosingQuoteWholeCharacters) {
  struct Case {
    const char* line;
    const char* name;
  };
  const Case cases[] = {
      {"6, \"Game2\"", "Game2"},
      {"6, \"ゲーム\"", "ゲーム"},
      {"6, \"ゲーム", "ゲー"},  // damaged: the last character goes, never half of it
      {"6, \"", ""},
      {"6, Game2", ""},
      {"6, \"\x83\x51\x81\x5B\x83\x80\"", "ゲーム"},  // undecoded CP932 bytes
  };
  for (const Case& c : cases) {
    ButtonAssignment r;
    ReadLine(r, c.line, 45);
    EXPECT_EQ(r.kind, AssignmentKind::ProfileSwitch) << c.line;
    EXPECT_EQ(r.targetName, c.name) << c.line;
  }
}

TEST(AssignmentLine, NumberSignsInsideQuotedFieldsAreNoComment) {
  // Taking "##" inside a path for a comment would append it again at every
  // save and grow the line without end.
  const char* lines[] = {
      "9, \"C:\\tools\\a##b\\run.exe\", |--x|C:\\work|",
      "9, \"run##.exe\", |a##b|c##d|  ##real comment",
      "6, \"Team##1\", 100",
      "6, \"Team##1\", 100  ##switch",
  };
  for (const char* line : lines) {
    const std::string once = Reread(line);
    EXPECT_EQ(once, line);
    EXPECT_EQ(Reread(once), once);
  }
  ButtonAssignment r;
  ReadLine(r, lines[1], kCurrentVersion);
  EXPECT_EQ(r.targetName, "run##.exe");
  EXPECT_EQ(r.parameters, "a##b");
  EXPECT_EQ(r.startFrom, "c##d");
  EXPECT_EQ(r.comment, "real comment");
  ReadLine(r, lines[2], kCurrentVersion);
  EXPECT_EQ(r.comment, "");
  EXPECT_EQ(r.switchDelay, 100);
}

TEST(AssignmentLine, AccelerationFactorKeepsOneDecimal) {
  struct Case {
    float factor;
    const char* text;
    float reread;
  };
  const Case cases[] = {
      {1.25f, "1.2", 1.2f},  // an exact tie rounds to even, as the C library does
      {1.35f, "1.4", 1.4f}, {2.0f, "2.0", 2.0f}, {0.04f, "0.0", 0.0f}, {12.75f, "12.8", 12.8f},
  };
  for (const Case& c : cases) {
    ButtonAssignment r;
    r.kind = AssignmentKind::Mouse;
    r.accelerationFactor = c.factor;
    const std::string line = WriteLine(r);
    EXPECT_NE(line.find(std::string(", ") + c.text + ", 100,"), std::string::npos) << line;
    ButtonAssignment back;
    ReadLine(back, line, kCurrentVersion);
    EXPECT_EQ(back.accelerationFactor, c.reread) << line;
  }
}

TEST(AssignmentLine, FloatsUseADecimalPointWhateverTheLocale) {
  testing::DecimalCommaLocale locale;
  if (!locale.active()) GTEST_SKIP() << "no locale with a decimal comma available";
  const char* line = "8, 25.500000, 75.250000, 0, 0, 0, 0, 0, 0, 0, 0.500, 0, 0";
  ButtonAssignment r;
  ReadLine(r, line, kCurrentVersion);
  EXPECT_EQ(r.absCenterY, 75.25f);
  EXPECT_EQ(r.repeatRate, 0.5f);
  EXPECT_EQ(WriteLine(r), line);
}

TEST(AssignmentLine, LongPastedTextSurvivesWhole) {
  std::string text;
  for (int i = 0; i < 1000; ++i) text += "テキスト";  // 4000 characters, 12000 bytes
  text += std::string(1000, 'x') + "##";
  ButtonAssignment r;
  r.kind = AssignmentKind::PasteText;
  r.pasteText = text;
  r.comment = "not written";
  const std::string line = WriteLine(r);
  EXPECT_EQ(line, "10, ##" + text);
  ButtonAssignment back;
  ReadLine(back, line, kCurrentVersion);
  EXPECT_EQ(back.pasteText, text);
  EXPECT_EQ(back.comment, "");
}

}  // namespace
}  // namespace brevanto
