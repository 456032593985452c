#include "platform/linux/output/UinputDevice.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/LogCapture.h"

namespace brevanto {
namespace {

std::string FirstLine(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

TEST(UinputDevice, CreatesTheNamedDeviceAndRemovesItWhenDestroyed) {
  if (::access(UinputDevice::kDefaultPath, W_OK) != 0) {
    GTEST_SKIP() << UinputDevice::kDefaultPath << " is not writable here";
  }
  auto device = UinputDevice::Create();
  ASSERT_NE(device, nullptr);
  const std::string name = device->SystemName();
  ASSERT_FALSE(name.empty());
  const std::filesystem::path sys = std::filesystem::path("/sys/devices/virtual/input") / name;
  EXPECT_EQ(FirstLine(sys / "name"), UinputDevice::kDeviceName);
  // Bits of EV_SYN, EV_KEY, EV_REL and EV_ABS.
  EXPECT_EQ(FirstLine(sys / "capabilities/ev"), "f");
  EXPECT_TRUE(device->Writer().Key(KEY_A, true));
  EXPECT_TRUE(device->Writer().Key(KEY_A, false));
  device.reset();
  EXPECT_FALSE(std::filesystem::exists(sys));
}

TEST(UinputDevice, AMissingDeviceIsLoggedWithTheReason) {
  testing::LogCapture log;
  EXPECT_EQ(UinputDevice::Create("/nonexistent/uinput"), nullptr);
  EXPECT_EQ(log.Count("Error  UinputDevice: cannot open /nonexistent/uinput for writing"), 1);
  EXPECT_EQ(log.Count("Error  No such file or directory"), 1);
}

}  // namespace
}  // namespace brevanto
