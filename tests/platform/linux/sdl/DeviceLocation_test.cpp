#include "platform/linux/sdl/DeviceLocation.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempDir.h"

namespace brevanto {
namespace {

namespace fs = std::filesystem;

// A small sysfs: one event node and one hidraw node whose HID device sits
// under a USB port.
class DeviceLocationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path root = dir_.path();
    fs::create_directories(root / "class/input/event7/device");
    dir_.Write("class/input/event7/device/uniq", "a4:53:85:12:34:56\n");
    dir_.Write("class/input/event7/device/phys", "usb-0000:00:14.0-2/input0\n");
    fs::create_directories(root / "class/hidraw/hidraw3");
    PlugHid("0003:054C:09CC.0005");
  }
  // Re-plugging gives the HID device a new number under the same port.
  void PlugHid(const std::string& hidName) {
    const fs::path port = dir_.path() / "devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.3";
    fs::create_directories(port / hidName);
    const fs::path link = dir_.path() / "class/hidraw/hidraw3/device";
    fs::remove(link);
    fs::create_symlink("../../../devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.3/" + hidName,
                       link);
  }

  testing::TempDir dir_;
};

TEST_F(DeviceLocationTest, AnEventNodeGivesItsUniqueIdAndPort) {
  const DeviceLocation location = ReadDeviceLocation("/dev/input/event7", dir_.path().string());
  EXPECT_EQ(location.uniqueId, "a4:53:85:12:34:56");
  EXPECT_EQ(location.port, "usb-0000:00:14.0-2/input0");
}

TEST_F(DeviceLocationTest, AHidrawNodeGivesThePortAboveItsHidDevice) {
  const std::string port = "devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.3";
  EXPECT_EQ(ReadDeviceLocation("/dev/hidraw3", dir_.path().string()).port, port);
  PlugHid("0003:054C:09CC.0006");
  EXPECT_EQ(ReadDeviceLocation("/dev/hidraw3", dir_.path().string()).port, port);
}

TEST_F(DeviceLocationTest, OtherNodesAndMissingAttributesGiveNothing) {
  for (const char* path : {"", "/dev/input/js0", "/dev/input/event8", "/dev/hidraw3x",
                           "/dev/hidraw9", "/tmp/event7"}) {
    const DeviceLocation location = ReadDeviceLocation(path, dir_.path().string());
    EXPECT_EQ(location.uniqueId, "") << path;
    EXPECT_EQ(location.port, "") << path;
  }
}

}  // namespace
}  // namespace brevanto
