#include "core/device/DeviceConfigManager.h"

#include <gtest/gtest.h>

#include "core/device/DeviceTemplateManager.h"
#include "core/settings/IniDocument.h"
#include "support/TempDir.h"

namespace brevanto {
namespace {

class DeviceConfigManagerTest : public ::testing::Test {
 protected:
  testing::TempDir dir_;
  DeviceTemplateManager templates_{dir_.File("templates.json")};
  DeviceConfigManager manager_{&templates_};
};

TEST_F(DeviceConfigManagerTest, NewRecordTakesTheGlobalDefaultsAndDerivesItsInterface) {
  manager_.SetDefaults(DeviceDefaults{2500, {0, 1, 3, 4, 2, 5, 6, 7}});
  TDeviceConfig& xinput = manager_.FindOrCreate("045E028E-1");
  EXPECT_EQ(xinput.interfaceKind, InterfaceKind::XInput);
  EXPECT_EQ(xinput.AnalogDeadZone, 2500);
  EXPECT_EQ(xinput.axisMapping, (AxisMapping{0, 1, 3, 4, 2, 5, 6, 7}));
  EXPECT_EQ(xinput.PreferredNumber, -1);
  EXPECT_EQ(manager_.FindOrCreate("{6F1D2B60-D5A0-11CF-BFC7-444553540000}").interfaceKind,
            InterfaceKind::DirectInput);
  EXPECT_EQ(manager_.FindOrCreate("/dev/hidraw3").interfaceKind, InterfaceKind::Hid);

  xinput.PreferredNumber = 3;
  EXPECT_EQ(&manager_.FindOrCreate("045E028E-1"), &xinput)
      << "a record seen again keeps its settings";
  EXPECT_EQ(manager_.Count(), 3u);
}

TEST_F(DeviceConfigManagerTest, RecordsRoundTripThroughTheSettingsFileKeepingUnknownKeys) {
  IniDocument ini = IniDocument::FromText(
      "[DeviceConfig]\r\nCount=3\r\n"
      "[DeviceConfig-1]\r\nGUID=045E028E-1\r\nPUID=73270926\r\nName=Pad\r\nNameOverride="
      "私のパッド\r\n"
      "TemplateID=XBOX\r\nPreferredNumber=2\r\nAnalogDeadZone=1500\r\nAxisMapping=-1:0:0:0:0:0:6:"
      "7\r\n"
      "Extra=kept\r\n"
      "[DeviceConfig-2]\r\nName=no guid\r\n"
      "[DeviceConfig-3]\r\nGUID={X}\r\nTemplateID=GONE\r\nAxisMapping=2:3:x:1\r\n");
  manager_.Load(ini);
  ASSERT_EQ(manager_.Count(), 2u) << "the section without GUID is skipped";
  const TDeviceConfig* pad = manager_.Find("045E028E-1");
  ASSERT_NE(pad, nullptr);
  EXPECT_EQ(pad->PUID, 73270926);
  EXPECT_EQ(pad->DisplayName(), "私のパッド");
  EXPECT_EQ(pad->PreferredNumber, 2);
  EXPECT_EQ(pad->AnalogDeadZone, 1500);
  EXPECT_TRUE(pad->AxisMappingUndecided());
  EXPECT_EQ(manager_.TemplateName(*pad), "Xbox controller");

  const TDeviceConfig* other = manager_.Find("{X}");
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(other->resolvedTemplate, nullptr) << "an unknown template id resolves to none";
  EXPECT_EQ(other->axisMapping, (AxisMapping{2, 3, 0, 1, 0, 0, 6, 7}))
      << "a piece that does not scan keeps the default entry";

  manager_.Save(ini);
  const std::string text = ini.Text();
  EXPECT_NE(text.find("Extra=kept"), std::string::npos);
  EXPECT_NE(text.find("TemplateID=GONE"), std::string::npos) << "the id itself is written back";
  EXPECT_NE(text.find("AxisMapping=-1:0:0:0:0:0:6:7"), std::string::npos);

  DeviceConfigManager reread(&templates_);
  reread.Load(IniDocument::FromText(text));
  ASSERT_EQ(reread.Count(), 2u);
  EXPECT_EQ(reread.Find("045E028E-1")->NameOverride, "私のパッド");
  EXPECT_EQ(reread.Find("{X}")->axisMapping, other->axisMapping);
}

TEST_F(DeviceConfigManagerTest, SavingFewerRecordsRemovesTheStaleSections) {
  IniDocument ini;
  for (int i = 1; i <= 5; ++i) manager_.FindOrCreate("dev" + std::to_string(i));
  manager_.Save(ini);
  EXPECT_TRUE(ini.HasSection("DeviceConfig-5"));

  DeviceConfigManager two(&templates_);
  two.FindOrCreate("a");
  two.FindOrCreate("b");
  two.Save(ini);
  EXPECT_EQ(ini.GetInt("DeviceConfig", "Count", 0), 2);
  EXPECT_TRUE(ini.HasSection("DeviceConfig-2"));
  for (int n = 3; n <= 5; ++n) EXPECT_FALSE(ini.HasSection("DeviceConfig-" + std::to_string(n)));
}

TEST_F(DeviceConfigManagerTest, DuplicateGuidsGiveTwoRecordsAndFindReturnsTheFirst) {
  manager_.Load(
      IniDocument::FromText("[DeviceConfig]\nCount=2\n[DeviceConfig-1]\nGUID=same\nName=first\n"
                            "[DeviceConfig-2]\nGUID=same\nName=second\n"));
  EXPECT_EQ(manager_.Count(), 2u);
  EXPECT_EQ(manager_.FindOrCreate("same").Name, "first");
}

TEST_F(DeviceConfigManagerTest, DamagedValuesLoadWithDefaults) {
  manager_.SetDefaults(DeviceDefaults{1000, {-1, 0, 0, 0, 0, 0, 6, 7}});
  manager_.Load(IniDocument::FromText(
      "[DeviceConfig]\nCount=100000\n[DeviceConfig-1]\nGUID=g\nPUID=abc\nPreferredNumber=\n"
      "AnalogDeadZone=99999999999\nAxisMapping=\n"));
  ASSERT_EQ(manager_.Count(), 1u);
  const TDeviceConfig* g = manager_.Find("g");
  EXPECT_EQ(g->PUID, 0);
  EXPECT_EQ(g->PreferredNumber, -1);
  EXPECT_EQ(g->AnalogDeadZone, 1000);
  EXPECT_EQ(g->axisMapping, (AxisMapping{-1, 0, 0, 0, 0, 0, 6, 7}));
}

TEST_F(DeviceConfigManagerTest, TemplateFollowsTheIdOrElseTheDeviceType) {
  TDeviceConfig& pad = manager_.FindOrCreate("p");
  pad.deviceType = 38;
  manager_.RefreshTemplate(pad);
  EXPECT_EQ(manager_.TemplateName(pad), "Switch controller");
  pad.deviceType = 0;
  manager_.RefreshTemplate(pad);
  EXPECT_EQ(pad.resolvedTemplate->Id(), "DEFAULT");
  manager_.SetTemplateId(pad, "PS5");
  manager_.RefreshTemplate(pad);
  EXPECT_EQ(pad.resolvedTemplate->Id(), "PS5");
  manager_.SetTemplateId(pad, "");
  EXPECT_EQ(pad.resolvedTemplate, nullptr);
  EXPECT_EQ(manager_.TemplateName(pad), "");
}

TEST_F(DeviceConfigManagerTest, RemoveAndPresentFlags) {
  TDeviceConfig& a = manager_.FindOrCreate("a");
  TDeviceConfig& b = manager_.FindOrCreate("b");
  a.present = b.present = true;
  manager_.ClearPresentFlags();
  EXPECT_FALSE(a.present);
  EXPECT_FALSE(b.present);
  const auto snapshot = manager_.Snapshot();
  EXPECT_EQ(manager_.Remove(&a), 0);
  EXPECT_EQ(manager_.Remove(&a), -1);
  EXPECT_EQ(manager_.Count(), 1u);
  EXPECT_EQ(snapshot.size(), 2u);
}

TEST(TDeviceConfig, CompletingTheMappingFillsTheUnusedAxesInAscendingOrder) {
  TDeviceConfig record("r", DeviceDefaults{});
  record.axisMapping = {2, 3, 0, 1, 4, 5, 6, 7};
  record.axisMapping[0] = 4;  // stick 1 horizontal from RY
  record.CompleteAxisMapping();
  EXPECT_EQ(record.axisMapping, (AxisMapping{4, 3, 0, 1, 2, 5, 6, 7}));
}

}  // namespace
}  // namespace brevanto
