#include "core/settings/IniDocument.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "core/settings/AtomicFile.h"
#include "support/TempDir.h"

namespace brevanto {
namespace {

using testing::ReadBytes;
using testing::TempDir;

// A file as a user or an older version may leave it: a comment before the
// first section, blank lines, odd spacing and letter case, an unknown section
// and a key the program does not know.
const char kFile[] =
    "; written by hand\r\n"
    "\r\n"
    "[General]\r\n"
    "FileVersion=70\r\n"
    "numberofjoysticks = 4\r\n"
    "Use8Axes=1\r\n"
    "\r\n"
    "[ Joystick 1 ]\r\n"
    "Up- Left=1, 41:00:00:00, 0.000, 0, 0\r\n"
    "; keep me\r\n"
    "Button01=10, ##Hello \r\n"
    "\r\n"
    "[Unknown]\r\n"
    "Anything=goes=here\r\n"
    "no equals sign\r\n";

TEST(IniDocument, UnchangedDocumentIsWrittenBackByteForByte) {
  EXPECT_EQ(IniDocument::FromText(kFile).Text(), kFile);
  const std::string lf = "a\n[S]\nk=v\n\n";
  EXPECT_EQ(IniDocument::FromText(lf).Text(), lf);
  EXPECT_EQ(IniDocument::FromText("").Text(), "");
}

TEST(IniDocument, NamesMatchWithoutRegardToCaseAndKeepTheirSpelling) {
  const IniDocument doc = IniDocument::FromText(kFile);
  EXPECT_EQ(doc.GetInt("GENERAL", "NumberOfJoysticks", 2), 4);
  EXPECT_EQ(doc.GetString("joystick 1", "up- left"), "1, 41:00:00:00, 0.000, 0, 0");
  EXPECT_EQ(doc.GetString("unknown", "anything"), "goes=here");
  EXPECT_TRUE(doc.HasSection("JOYSTICK 1"));
  EXPECT_FALSE(doc.HasSection("Joystick 2"));
  EXPECT_TRUE(doc.HasKey("general", "USE8AXES"));
  EXPECT_FALSE(doc.HasKey("General", "Button01"));
  EXPECT_EQ(doc.SectionNames(), (std::vector<std::string>{"General", "Joystick 1", "Unknown"}));
  EXPECT_EQ(doc.KeyNames("general"),
            (std::vector<std::string>{"FileVersion", "numberofjoysticks", "Use8Axes"}));
}

TEST(IniDocument, ValuesAreVerbatimAfterTheFirstEqualsSign) {
  const IniDocument doc = IniDocument::FromText(kFile);
  EXPECT_EQ(doc.Raw("Joystick 1", "Button01"), "10, ##Hello ");
  EXPECT_EQ(doc.Raw("General", "NumberOfJoysticks"), " 4");
  EXPECT_EQ(doc.Raw("General", "Missing"), std::nullopt);
  EXPECT_EQ(doc.GetString("General", "Missing", "dflt"), "dflt");
}

TEST(IniDocument, ChangesKeepEverythingElseInPlace) {
  IniDocument doc = IniDocument::FromText(kFile);
  doc.SetInt("general", "NUMBEROFJOYSTICKS", 2);  // in place, file's spelling
  doc.SetInt("General", "NumberOfButtons", 32);   // after the section's last key
  doc.SetString("Joystick 1", "Button02", "0");   // after a comment that follows a key
  doc.EraseKey("Joystick 1", "up- left");
  doc.SetBool("LastStatus", "DarkMode", true);  // new section at the end
  EXPECT_EQ(doc.Text(),
            "; written by hand\r\n"
            "\r\n"
            "[General]\r\n"
            "FileVersion=70\r\n"
            "numberofjoysticks=2\r\n"
            "Use8Axes=1\r\n"
            "NumberOfButtons=32\r\n"
            "\r\n"
            "[ Joystick 1 ]\r\n"
            "; keep me\r\n"
            "Button01=10, ##Hello \r\n"
            "Button02=0\r\n"
            "\r\n"
            "[Unknown]\r\n"
            "Anything=goes=here\r\n"
            "no equals sign\r\n"
            "\r\n"
            "[LastStatus]\r\n"
            "DarkMode=1\r\n");
}

TEST(IniDocument, SettingTheSameValueKeepsTheOriginalLine) {
  IniDocument doc = IniDocument::FromText(kFile);
  doc.SetString("General", "NumberOfJoysticks", " 4");
  EXPECT_EQ(doc.Text(), kFile);
}

TEST(IniDocument, NewDocumentUsesCrLfAndSeparatesSections) {
  IniDocument doc;
  doc.SetString("A", "k", "v");
  doc.SetString("B", "k", "w");
  doc.SetString("a", "k2", "x");
  EXPECT_EQ(doc.Text(), "[A]\r\nk=v\r\nk2=x\r\n\r\n[B]\r\nk=w\r\n");
}

TEST(IniDocument, DocumentWithLfLineBreaksKeepsThem) {
  IniDocument doc = IniDocument::FromText("[S]\nk=v\n");
  doc.SetString("S", "n", "1");
  EXPECT_EQ(doc.Text(), "[S]\nk=v\nn=1\n");
}

TEST(IniDocument, DuplicateKeysReadTheFirstAndAllAreKept) {
  IniDocument doc = IniDocument::FromText("[S]\nk=first\nK=second\n[s]\nk=third\nx=4\n");
  EXPECT_EQ(doc.GetString("S", "k"), "first");
  EXPECT_EQ(doc.GetInt("S", "x", 0), 4);  // a repeated section continues the first
  EXPECT_EQ(doc.KeyNames("S"), (std::vector<std::string>{"k", "x"}));
  EXPECT_EQ(doc.SectionNames(), std::vector<std::string>{"S"});

  doc.SetString("S", "k", "changed");
  EXPECT_EQ(doc.Text(), "[S]\nk=changed\nK=second\n[s]\nk=third\nx=4\n");

  // Erasing must not let a shadowed duplicate resurface.
  EXPECT_TRUE(doc.EraseKey("s", "K"));
  EXPECT_FALSE(doc.HasKey("S", "k"));
  EXPECT_EQ(doc.Text(), "[S]\n[s]\nx=4\n");
  EXPECT_FALSE(doc.EraseKey("S", "k"));
}

TEST(IniDocument, EraseSectionRemovesItsLinesAndNothingElse) {
  IniDocument doc =
      IniDocument::FromText("[DeviceConfig-1]\nGUID=a\n[Keep]\nk=1\n[deviceconfig-1]\nx=2\n");
  EXPECT_TRUE(doc.EraseSection("DEVICECONFIG-1"));
  EXPECT_FALSE(doc.HasSection("DeviceConfig-1"));
  EXPECT_EQ(doc.Text(), "[Keep]\nk=1\n");
  EXPECT_FALSE(doc.EraseSection("DeviceConfig-1"));
}

TEST(IniDocument, LineBreaksInAValueCannotInjectLines) {
  IniDocument doc;
  doc.SetString("LastStatus", "FileName", "evil\r\n[General]\nFileVersion=1");
  EXPECT_FALSE(doc.HasSection("General"));
  const IniDocument reread = IniDocument::FromText(doc.Text());
  EXPECT_FALSE(reread.HasSection("General"));
  EXPECT_EQ(reread.GetString("LastStatus", "FileName"), "evil  [General] FileVersion=1");
}

TEST(IniDocument, NumbersThatDoNotParseReadAsTheDefault) {
  struct Case {
    const char* text;
    int asInt;
    bool asBool;
  };
  // Default 7 for integers and true for booleans.
  const Case cases[] = {
      {"12", 12, true}, {" -3 ", -3, true}, {"+4", 4, true},
      {"0", 0, false},  {"abc", 7, true},   {"12abc", 7, true},
      {"", 7, true},    {"1.5", 7, true},   {"99999999999", 7, true},
      {"-", 7, true},   {"+-1", 7, true},   {"2147483647", 2147483647, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const IniDocument doc = IniDocument::FromText(std::string("[S]\nk=") + c.text + "\n");
    EXPECT_EQ(doc.GetInt("S", "k", 7), c.asInt);
    EXPECT_EQ(doc.GetBool("S", "k", true), c.asBool);
  }
  const IniDocument empty;
  EXPECT_EQ(empty.GetInt("S", "k", 7), 7);
  EXPECT_FALSE(empty.GetBool("S", "k", false));
}

TEST(IniDocument, FloatsReadEitherDecimalSeparatorAndWriteAPoint) {
  struct Case {
    const char* text;
    double value;
  };
  const Case cases[] = {{"3.5", 3.5},     {"3,5", 3.5}, {" 2 ", 2.0}, {"1e3", 1000.0},
                        {"-0.25", -0.25}, {"nan", 9.0}, {"inf", 9.0}, {"x", 9.0},
                        {"1,000.5", 9.0}, {"", 9.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const IniDocument doc = IniDocument::FromText(std::string("[S]\nf=") + c.text + "\n");
    EXPECT_DOUBLE_EQ(doc.GetFloat("S", "f", 9.0), c.value);
  }

  IniDocument doc;
  const double values[] = {3.0, 0.5, 0.1, 1.0 / 3.0, -2.75};
  const char* texts[] = {"3", "0.5", "0.1", "0.333333333333333", "-2.75"};
  for (std::size_t i = 0; i < std::size(values); ++i) {
    doc.SetFloat("S", "f", values[i]);
    EXPECT_EQ(doc.Raw("S", "f"), texts[i]);
  }
}

TEST(IniDocument, RemembersTheEncodingItWasReadIn) {
  struct Case {
    std::string bytes;
    TextEncoding encoding;
  };
  const Case cases[] = {
      {"\xEF\xBB\xBF[S]\r\nName=プロ\r\n", TextEncoding::Utf8Bom},
      {EncodeText("[S]\r\nName=プロ\r\n", TextEncoding::Utf16LeBom), TextEncoding::Utf16LeBom},
      {EncodeText("[S]\r\nName=プロ\r\n", TextEncoding::Utf16BeBom), TextEncoding::Utf16BeBom},
      {"[S]\r\nName=\x83\x76\x83\x8D\r\n", TextEncoding::Ansi},  // CP932
      {"[S]\r\nName=プロ\r\n", TextEncoding::Ansi},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.encoding));
    const IniDocument doc = IniDocument::FromBytes(c.bytes);
    EXPECT_EQ(doc.Encoding(), c.encoding);
    EXPECT_EQ(doc.GetString("s", "name"), "プロ");
  }
}

TEST(IniDocument, SavesInTheEncodingTheCallerChooses) {
  TempDir dir;
  const std::string path = dir.File("Race.cfg");
  dir.Write("Race.cfg", "[General]\r\nSoundFile=\x83\x76.wav\r\n");  // CP932, no mark

  IniDocument doc;
  ASSERT_TRUE(doc.Load(path));
  EXPECT_EQ(doc.GetString("General", "SoundFile"), "プ.wav");
  ASSERT_TRUE(doc.Save(path, TextEncoding::Utf8Bom));
  EXPECT_EQ(ReadBytes(path), "\xEF\xBB\xBF[General]\r\nSoundFile=プ.wav\r\n");

  ASSERT_TRUE(doc.Save(path, TextEncoding::Utf16LeBom));
  IniDocument utf16;
  ASSERT_TRUE(utf16.Load(path));
  EXPECT_EQ(utf16.Encoding(), TextEncoding::Utf16LeBom);
  EXPECT_EQ(utf16.Text(), doc.Text());
}

TEST(IniDocument, MissingFileLoadsEmptyAndUnreadableFileReportsFailure) {
  TempDir dir;
  IniDocument doc = IniDocument::FromText("[Old]\nk=1\n");
  EXPECT_TRUE(doc.Load(dir.File("none.ini")));
  EXPECT_TRUE(doc.SectionNames().empty());
  doc = IniDocument::FromText("[Old]\nk=1\n");
  EXPECT_FALSE(doc.Load(dir.path().string()));
  EXPECT_TRUE(doc.SectionNames().empty());
}

TEST(IniDocument, FailedSaveKeepsThePreviousFile) {
  TempDir dir;
  const std::string path = dir.File("Brevanto.ini");
  dir.Write("Brevanto.ini", "[LastStatus]\r\nDarkMode=0\r\n");
  IniDocument doc;
  ASSERT_TRUE(doc.Load(path));
  doc.SetBool("LastStatus", "DarkMode", true);
  ScopedSaveFailure failure(SaveStep::Write, ENOSPC);
  EXPECT_FALSE(doc.Save(path, TextEncoding::Utf8Bom));
  EXPECT_EQ(ReadBytes(path), "[LastStatus]\r\nDarkMode=0\r\n");
}

TEST(IniDocument, DamagedInputParsesIntoWhatCanBeRecognised) {
  struct Case {
    std::string text;
    std::vector<std::string> sections;
    std::vector<std::string> keysOfFirst;
  };
  const Case cases[] = {
      {"[S]\nk", {"S"}, {}},
      {"[", {}, {}},
      {"]\n[S\n", {}, {}},
      {"[]\n=\n = x\n==\n", {""}, {}},
      {std::string("[S\0x]\r\r\nk=\0\n", 12), {std::string("S\0x", 3)}, {"k"}},
      {"k=v\n[S]\n", {"S"}, {}},  // keys before any section belong to none
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const IniDocument doc = IniDocument::FromText(c.text);
    EXPECT_EQ(doc.SectionNames(), c.sections);
    if (!c.sections.empty()) {
      EXPECT_EQ(doc.KeyNames(c.sections.front()), c.keysOfFirst);
    }
    // What is written reads back as the same document.
    EXPECT_EQ(IniDocument::FromText(doc.Text()).Text(), doc.Text());
  }
}

}  // namespace
}  // namespace brevanto
