#include "core/input/DeviceInstanceGuid.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "core/device/DeviceConfig.h"

namespace brevanto {
namespace {

const std::array<uint8_t, 16> kModel{0x03, 0x00, 0x00, 0x00, 0x5E, 0x04, 0x00, 0x00,
                                     0x8E, 0x02, 0x00, 0x00, 0x14, 0x01, 0x00, 0x00};

TEST(DeviceInstanceGuidTest, IsABracedGuidThatTheSettingsTakeForAGenericController) {
  const std::string guid = DeviceInstanceGuid(kModel, "serial:0123");
  EXPECT_TRUE(
      std::regex_match(guid, std::regex(R"(\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\})")))
      << guid;
  EXPECT_EQ(TDeviceConfig::KindForGuid(guid), InterfaceKind::DirectInput);
}

TEST(DeviceInstanceGuidTest, SameUnitKeepsItsIdentityAndOtherUnitsDiffer) {
  EXPECT_EQ(DeviceInstanceGuid(kModel, "port:usb-0000:00:14.0-2/input0"),
            DeviceInstanceGuid(kModel, "port:usb-0000:00:14.0-2/input0"));
  std::array<uint8_t, 16> otherModel = kModel;
  otherModel[8] = 0x8F;
  const std::set<std::string> distinct{
      DeviceInstanceGuid(kModel, "port:usb-0000:00:14.0-2/input0"),
      DeviceInstanceGuid(kModel, "port:usb-0000:00:14.0-3/input0"),
      DeviceInstanceGuid(kModel, "serial:0123"),
      DeviceInstanceGuid(kModel, "order:0"),
      DeviceInstanceGuid(kModel, "order:1"),
      DeviceInstanceGuid(otherModel, "order:0"),
  };
  EXPECT_EQ(distinct.size(), 6u);
}

TEST(DeviceInstanceGuidTest, DerivationNeverChanges) {
  // Settings files hold identities made by this derivation; another one
  // would turn every known controller into a new one.
  EXPECT_EQ(DeviceInstanceGuid(kModel, "serial:0123"), "{89C25A62-8FE7-B07E-6C3F-737C71DFE46F}");
}

}  // namespace
}  // namespace brevanto
