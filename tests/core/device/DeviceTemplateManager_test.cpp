#include "core/device/DeviceTemplateManager.h"

#include <gtest/gtest.h>

#include <regex>

#include "core/text/Encoding.h"
#include "support/TempDir.h"

namespace brevanto {
namespace {

class DeviceTemplateManagerTest : public ::testing::Test {
 protected:
  void WriteFile(const std::string& bytes) { dir_.Write("templates.json", bytes); }
  std::string ReadFile() const { return testing::ReadBytes(path_); }
  static std::vector<std::string> Ids(const DeviceTemplateManager& m) {
    std::vector<std::string> ids;
    for (const auto& [id, name] : m.IdsAndNames()) ids.push_back(id);
    return ids;
  }

  testing::TempDir dir_;
  std::string path_ = dir_.File("templates.json");
};

TEST_F(DeviceTemplateManagerTest, MissingFileGivesTheFiveBuiltInsInOrder) {
  DeviceTemplateManager manager(path_);
  EXPECT_EQ(Ids(manager), (std::vector<std::string>{"DEFAULT", "XBOX", "PS4", "PS5", "SWITCH"}));
  EXPECT_EQ(manager.Find("XBOX")->Labels().size(), 13u);
  EXPECT_EQ(manager.Find("PS4")->Labels().front(), "□");
  EXPECT_EQ(manager.Find("PS5")->Labels().size(), 15u);
  EXPECT_EQ(manager.Find("PS5")->Labels().back(), "Mute");
  EXPECT_EQ(manager.Find("xbox"), nullptr) << "ids compare exactly";
}

TEST_F(DeviceTemplateManagerTest, FileTemplatesComeFirstAndReplaceBuiltInsOfTheSameId) {
  WriteFile(
      "\xEF\xBB\xBF{\"templates\": [{\"id\": \"XBOX\", \"name\": \"Mine\", \"buttons\": [\"Ａ\", "
      "\"Ｂ\"]}]}");
  DeviceTemplateManager manager(path_);
  EXPECT_EQ(Ids(manager), (std::vector<std::string>{"XBOX", "DEFAULT", "PS4", "PS5", "SWITCH"}));
  const TDeviceTemplate* xbox = manager.FindForDeviceType(31);
  ASSERT_NE(xbox, nullptr);
  EXPECT_EQ(xbox->Name(), "Mine");
  EXPECT_EQ(xbox->LabelOf(56), "Ａ");
  EXPECT_EQ(xbox->LabelOf(58), std::nullopt);
  EXPECT_EQ(xbox->LabelOf(0), std::nullopt) << "axes never take labels";
}

TEST_F(DeviceTemplateManagerTest, AutomaticChoiceByDeviceType) {
  DeviceTemplateManager manager(path_);
  // Types as the controller name table gives them; 0 is a device it does not know.
  const std::pair<int, const char*> cases[] = {
      {31, "XBOX"},    {32, "XBOX"},    {33, "PS4"},     {34, "PS4"},     {38, "SWITCH"},
      {41, "SWITCH"},  {45, "PS5"},     {0, "DEFAULT"},  {2, "DEFAULT"},  {7, "DEFAULT"},
      {30, "DEFAULT"}, {36, "DEFAULT"}, {39, "DEFAULT"}, {42, "DEFAULT"}, {46, "DEFAULT"}};
  for (const auto& [type, id] : cases) EXPECT_EQ(manager.FindForDeviceType(type)->Id(), id) << type;
  EXPECT_EQ(manager.Find("SWITCH")->LabelOf(56), "B");
  EXPECT_EQ(manager.Find("SWITCH")->LabelOf(57), "A");
  EXPECT_EQ(manager.Find("DEFAULT")->LabelOf(56), std::nullopt);
}

TEST_F(DeviceTemplateManagerTest, CopyGetsANewGuidAndTheCopyName) {
  DeviceTemplateManager manager(path_);
  auto copy = manager.Copy(*manager.Find("XBOX"));
  EXPECT_EQ(copy->Name(), "Xbox controller(copy)");
  EXPECT_EQ(copy->Labels().size(), 13u);
  EXPECT_TRUE(std::regex_match(
      copy->Id(),
      std::regex(R"(\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\})")))
      << copy->Id();
  EXPECT_NE(copy->Id(), manager.Copy(*manager.Find("XBOX"))->Id());
}

TEST_F(DeviceTemplateManagerTest, UserTemplateRoundTripsWithJapaneseLabels) {
  std::string id;
  {
    DeviceTemplateManager manager(path_);
    auto mine = manager.Copy(*manager.Find("PS4"));
    mine->SetName("アーケード");
    mine->MutableLabels()[0] = "パンチ";
    id = manager.Add(std::move(mine))->Id();
  }  // written on destruction
  const std::string bytes = ReadFile();
  ASSERT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_NE(bytes.find("{\n  \"templates\": [\n    {\n      \"id\": \"DEFAULT\",\n      \"name\": "
                       "\"Default\",\n      \"buttons\": []"),
            std::string::npos)
      << bytes.substr(0, 200);

  DeviceTemplateManager again(path_);
  EXPECT_EQ(Ids(again), (std::vector<std::string>{"DEFAULT", "XBOX", "PS4", "PS5", "SWITCH", id}));
  EXPECT_EQ(again.Find(id)->Name(), "アーケード");
  EXPECT_EQ(again.Find(id)->LabelOf(56), "パンチ");
  EXPECT_EQ(again.Find(id)->Labels().size(), 14u);
}

TEST_F(DeviceTemplateManagerTest, DamagedFileFallsBackToBuiltInsAndIsNotOverwritten) {
  const std::string damaged = "{\"templates\": [{\"id\": \"XBOX\", \"name\": \"Mi";
  WriteFile(damaged);
  {
    DeviceTemplateManager manager(path_);
    EXPECT_EQ(Ids(manager), (std::vector<std::string>{"DEFAULT", "XBOX", "PS4", "PS5", "SWITCH"}));
  }
  EXPECT_EQ(ReadFile(), damaged);

  // Once the user changes templates, the file is written again.
  {
    DeviceTemplateManager manager(path_);
    manager.Add(manager.Copy(*manager.Find("DEFAULT")));
  }
  EXPECT_NE(ReadFile(), damaged);
  DeviceTemplateManager reread(path_);
  EXPECT_EQ(reread.Templates().size(), 6u);
}

TEST_F(DeviceTemplateManagerTest, ElementsWithoutIdAreSkippedAndOtherFieldsTolerated) {
  WriteFile(R"({"templates": [{"name": "no id"}, {"id": "T1", "buttons": ["x", 5, "z"]}, 7]})");
  {
    DeviceTemplateManager manager(path_);
    const TDeviceTemplate* t1 = manager.Find("T1");
    ASSERT_NE(t1, nullptr);
    EXPECT_EQ(t1->Name(), "");
    EXPECT_EQ(t1->Labels(), (std::vector<std::string>{"x", "", "z"}));
    EXPECT_EQ(manager.Templates().size(), 6u);
  }
  EXPECT_NE(ReadFile().find("no id"), std::string::npos) << "a partly unreadable file is kept";
}

TEST_F(DeviceTemplateManagerTest, Utf16FileIsRead) {
  const std::string json = R"({"templates":[{"id":"J","name":"日本","buttons":["決定"]}]})";
  WriteFile(EncodeText(json, TextEncoding::Utf16LeBom));
  DeviceTemplateManager manager(path_);
  ASSERT_NE(manager.Find("J"), nullptr);
  EXPECT_EQ(manager.Find("J")->Name(), "日本");
  EXPECT_EQ(manager.Find("J")->LabelOf(56), "決定");
}

}  // namespace
}  // namespace brevanto
