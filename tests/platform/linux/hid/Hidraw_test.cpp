#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

#include "core/device/DeviceConfigManager.h"
#include "core/input/HidDetection.h"
#include "core/input/HidInput.h"
#include "platform/linux/hid/HidrawBackend.h"
#include "platform/linux/hid/HidrawEnumerator.h"
#include "platform/linux/hid/HidrawReader.h"
#include "support/HidDescriptors.h"
#include "support/HidrawTree.h"
#include "support/LogCapture.h"

namespace brevanto {
namespace {

using Bytes = std::vector<uint8_t>;

// The hidraw tests over a sysfs-like tree and FIFO nodes.
class FakeHidrawTree : public ::testing::Test {
 protected:
  using Node = testing::HidrawTree::Node;
  using Device = testing::HidrawTree::Device;

  std::string ClassDir() const { return tree_.ClassDir(); }
  std::string DevDir() const { return tree_.DevDir(); }
  std::string NodePath(const std::string& name) const { return tree_.NodePath(name); }
  void Add(const Device& d) { tree_.Add(d); }

  testing::HidrawTree tree_;
};

TEST_F(FakeHidrawTree, ListsControllersWithTheirIdentityNamesAndAccess) {
  Add({"hidraw0", "0003:00000079:00000006", "DragonRise Inc.   Generic   USB  Joystick  ",
       &testing::kGenericGamepad, "DragonRise Inc.  "});
  Add({"hidraw1", "0003:0000046D:0000C31C", "Logitech USB Keyboard", &testing::kKeyboard,
       "Logitech"});
  Add({"hidraw2", "0005:0000045E:00000B13", "Xbox Wireless Controller", &testing::kReportIdGamepad,
       ""});
  Add({"hidraw3", "0003:00001234:0000ABCD", "", &testing::kArrayJoystick, "", Node::Socket});
  const Bytes damaged = {0x05, 0x01, 0x09, 0x05, 0xA1, 0x01};
  Add({"hidraw4", "0003:00001234:00000001", "Broken", &damaged, ""});
  Add({"hidraw10", "0003:00001234:00000002", "No descriptor in sysfs", nullptr, ""});

  testing::LogCapture log;
  std::vector<HidDevice> devices;
  ASSERT_TRUE(HidrawEnumerator(ClassDir(), DevDir()).Enumerate(devices));
  ASSERT_EQ(devices.size(), 3u) << log.Text();

  const HidDevice& generic = devices[0];
  EXPECT_EQ(generic.listPosition, 0);
  EXPECT_EQ(generic.path, NodePath("hidraw0"));
  EXPECT_EQ(generic.ProductUid(), 0x00790006);
  EXPECT_EQ(generic.manufacturer, "DragonRise Inc.  ");
  EXPECT_EQ(generic.productName, "DragonRise Inc.   Generic   USB  Joystick  ");
  EXPECT_FALSE(generic.microsoft);
  EXPECT_TRUE(generic.readable);
  EXPECT_EQ(generic.capabilities.numButtons, 12);

  const HidDevice& xbox = devices[1];
  EXPECT_EQ(xbox.listPosition, 2);
  EXPECT_EQ(xbox.ProductUid(), 0x045E0B13);
  EXPECT_EQ(xbox.manufacturer, "Microsoft");  // Bluetooth: no manufacturer attribute
  EXPECT_TRUE(xbox.microsoft);
  EXPECT_TRUE(xbox.descriptor.usesReportIds);

  const HidDevice& locked = devices[2];
  EXPECT_EQ(locked.listPosition, 3);
  EXPECT_EQ(locked.productName, "Joystick");
  EXPECT_EQ(locked.manufacturer, "General");
  EXPECT_FALSE(locked.readable);

  const std::string text = log.Text();
  for (const std::string& line : std::vector<std::string>{
           "Info   Detected a HID controller[0]: VendorId=0x0079, ProductId=0x0006, UsagePage=1, "
           "Usage=5, Path=" +
               NodePath("hidraw0"),
           "Info   numAxis = 4 [1,1,1,0,0,1,0,0]",
           "Info   Detected a HID controller[2]: VendorId=0x045E, ProductId=0x0B13, UsagePage=1, "
           "Usage=5, Path=" +
               NodePath("hidraw2"),
           "Info   Detected a HID controller[3]: VendorId=0x1234, ProductId=0xABCD, UsagePage=1, "
           "Usage=4, Path=" +
               NodePath("hidraw3"),
           "Error  DetectHid: Cannot open " + NodePath("hidraw3") +
               " for reading; the controller is not read (see docs/hid.md, \"Granting read "
               "access\")",
           "Error  No such device or address",
           "Error  DetectHid: The report descriptor of " + NodePath("hidraw4") + " is malformed",
           "Error  DetectHid: Cannot read the report descriptor of " + NodePath("hidraw10"),
       }) {
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
  }
  EXPECT_EQ(text.find("Path=" + NodePath("hidraw1")), std::string::npos);
}

// Whether a controller found again, or a second one, gets the first one's
// record: the record follows the controller, not the hidraw node.
struct IdentityCase {
  const char* label;
  testing::HidrawTree::Device first;
  testing::HidrawTree::Device second;
  bool together;  // the second is plugged while the first stays
  bool sameRecord;
  std::string firstGuid;
};

class HidIdentityTest : public FakeHidrawTree, public ::testing::WithParamInterface<IdentityCase> {
 protected:
  // The records of the controllers found now, in node order.
  std::vector<TDeviceConfig*> Detect() {
    std::vector<TDeviceConfig*> out(4, nullptr);
    out.resize(static_cast<std::size_t>(hid_.DetectHid(3, out)));
    return out;
  }

  DeviceConfigManager records_;
  HidrawBackend backend_{ClassDir(), DevDir()};
  HidDetection hid_{backend_, records_};
};

TEST_P(HidIdentityTest, TheRecordFollowsTheControllerNotTheNode) {
  const IdentityCase& c = GetParam();
  Add(c.first);
  std::vector<TDeviceConfig*> found = Detect();
  ASSERT_EQ(found.size(), 1u);
  TDeviceConfig* first = found[0];
  EXPECT_EQ(first->GUID, c.firstGuid);
  EXPECT_EQ(first->interfaceKind, InterfaceKind::Hid);
  first->PreferredNumber = 4;

  if (!c.together) tree_.Remove(c.first.name);
  Add(c.second);
  found = Detect();
  ASSERT_EQ(found.size(), c.together ? 2u : 1u);
  TDeviceConfig* second = found.back();
  EXPECT_EQ(second == first, c.sameRecord) << first->GUID << " / " << second->GUID;
  EXPECT_EQ(second->PreferredNumber, c.sameRecord ? 4 : -1);
  EXPECT_EQ(records_.Count(), c.sameRecord ? 1u : 2u);
}

const std::vector<uint8_t>* const kPad = &testing::kGenericGamepad;

INSTANTIATE_TEST_SUITE_P(
    Cases, HidIdentityTest,
    ::testing::Values(
        IdentityCase{
            "SerialNumberFollowsItToAnotherNodeAndPort",
            {"hidraw0", "0003:00000079:00000006", "Pad", kPad, "", {}, "", "SN-1", "usb1/1-1"},
            {"hidraw3", "0003:00000079:00000006", "Pad", kPad, "", {}, "", "SN-1", "usb2/2-4"},
            false,
            true,
            "HID:bus=0003,vendor=0079,product=0006,serial=SN-1"},
        IdentityCase{"WithoutSerialNumberTheSamePortOnAnotherNode",
                     {"hidraw0", "0003:00000079:00000006", "Pad", kPad, "", {}, "", "", "usb1/1-2"},
                     {"hidraw5", "0003:00000079:00000006", "Pad", kPad, "", {}, "", "", "usb1/1-2"},
                     false,
                     true,
                     "HID:bus=0003,vendor=0079,product=0006,port=devices/usb1/1-2/1-1:1.0"},
        IdentityCase{"IdenticalControllersWithoutSerialNumbersOnTwoPorts",
                     {"hidraw0", "0003:00000079:00000006", "Pad", kPad, "", {}, "", "", "usb1/1-1"},
                     {"hidraw1", "0003:00000079:00000006", "Pad", kPad, "", {}, "", "", "usb1/1-2"},
                     true,
                     false,
                     "HID:bus=0003,vendor=0079,product=0006,port=devices/usb1/1-1/1-1:1.0"},
        IdentityCase{"AnotherModelInTheSamePort",
                     {"hidraw0", "0003:00000079:00000006", "Pad", kPad, "", {}, "", "", "usb1/1-1"},
                     {"hidraw1", "0003:00000079:00000011", "Pad", kPad, "", {}, "", "", "usb1/1-1"},
                     false,
                     false,
                     "HID:bus=0003,vendor=0079,product=0006,port=devices/usb1/1-1/1-1:1.0"},
        IdentityCase{"TwoGamepadInterfacesOfOneDevice",
                     {"hidraw0",
                      "0003:00000079:00000006",
                      "Pad",
                      kPad,
                      "",
                      {},
                      "",
                      "SN-2",
                      "usb1/1-1",
                      "1-1:1.0"},
                     {"hidraw1",
                      "0003:00000079:00000006",
                      "Pad",
                      kPad,
                      "",
                      {},
                      "",
                      "SN-2",
                      "usb1/1-1",
                      "1-1:1.1"},
                     true,
                     false,
                     "HID:bus=0003,vendor=0079,product=0006,serial=SN-2"}),
    [](const ::testing::TestParamInfo<IdentityCase>& info) {
      return std::string(info.param.label);
    });

// The name a controller gets: the device's own product string, else the
// kernel's HID name, else the kind of controller.
struct ProductNameCase {
  const char* label;
  std::string hidName;
  std::string usbProduct;
  std::string name;
};

class HidProductNameTest : public FakeHidrawTree,
                           public ::testing::WithParamInterface<ProductNameCase> {};

TEST_P(HidProductNameTest, NamesTheRecord) {
  const ProductNameCase& c = GetParam();
  testing::HidrawTree::Device device{"hidraw0", "0003:00001234:00000001", c.hidName,
                                     &testing::kGenericGamepad, "ACME Corp."};
  device.product = c.usbProduct;
  Add(device);
  DeviceConfigManager records;
  HidrawBackend backend(ClassDir(), DevDir());
  HidDetection hid(backend, records);
  std::vector<TDeviceConfig*> out(1, nullptr);
  ASSERT_EQ(hid.DetectHid(2, out), 0);
  ASSERT_EQ(records.Count(), 1u);
  EXPECT_EQ(records.Snapshot()[0]->Name, c.name);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HidProductNameTest,
    ::testing::Values(ProductNameCase{"UsbProductString", "ACME Corp. Arcade Stick", "Arcade Stick",
                                      "Arcade Stick"},
                      ProductNameCase{"BluetoothHasOnlyTheHidName", "Arcade Stick BT", "",
                                      "Arcade Stick BT"},
                      ProductNameCase{"NeitherGivesTheKind", "", "", "Gamepad"},
                      ProductNameCase{"WrappedProductString", "ACME Corp. Controller (Arcade)",
                                      "Controller (Arcade)", "Arcade"}),
    [](const ::testing::TestParamInfo<ProductNameCase>& info) {
      return std::string(info.param.label);
    });

TEST_F(FakeHidrawTree, AnAbsentClassFolderIsAFailure) {
  testing::LogCapture log;
  HidrawEnumerator absent(ClassDir() + "/missing", DevDir());
  EXPECT_FALSE(absent.Load()) << "no hidraw support in the kernel";
  EXPECT_TRUE(log.Contains("LoadHid: " + ClassDir() + "/missing is missing")) << log.Text();
  std::vector<HidDevice> devices(1);
  EXPECT_FALSE(absent.Enumerate(devices));
  EXPECT_TRUE(devices.empty());
  EXPECT_TRUE(log.Contains("DetectHid: Cannot list " + ClassDir() + "/missing")) << log.Text();
  EXPECT_TRUE(HidrawEnumerator(ClassDir(), DevDir()).Load());
}

TEST_F(FakeHidrawTree, ReportsFromTheNodeReachTheVirtualButtons) {
  Add({"hidraw0", "0003:00000079:00000006", "Generic USB Joystick", &testing::kGenericGamepad, ""});
  std::vector<HidDevice> devices;
  ASSERT_TRUE(HidrawEnumerator(ClassDir(), DevDir()).Enumerate(devices));
  ASSERT_EQ(devices.size(), 1u);
  const HidDevice& device = devices[0];

  HidStateTable table;
  table.Reset(1);
  HidrawReader reader;
  ASSERT_TRUE(reader.Open(0, device.path));
  const int writer = ::open(device.path.c_str(), O_WRONLY | O_NONBLOCK);
  ASSERT_GE(writer, 0);
  auto decode = [&](int key, std::span<const uint8_t> report) {
    table.Decode(key, device.descriptor, report);
  };
  EXPECT_FALSE(reader.Wait(0));
  EXPECT_EQ(reader.ReadAvailable(decode), 0);

  HidReadOptions options;
  options.stick1.threshold = 200;
  options.stick2.threshold = 200;
  auto read = [&] {
    DeviceInput input;
    bool changed = false;
    EXPECT_EQ(table.Read(0, options, {}, input, changed), 0);
    return input;
  };

  // X full left, hat down-right (3 counting from 0), buttons 1 and 12.
  const uint8_t first[] = {0x00, 0x80, 0x80, 0x80, 0x13, 0x80, 0x00};
  ASSERT_EQ(::write(writer, first, sizeof first), static_cast<ssize_t>(sizeof first));
  EXPECT_TRUE(reader.Wait(1000));
  EXPECT_EQ(reader.ReadAvailable(decode), 1);
  DeviceInput input = read();
  EXPECT_EQ(input.values[AxisNegativeButton(1)], 1000);
  EXPECT_EQ(input.values[PovButton(1, 2)], 1000);  // four-way: right and down
  EXPECT_EQ(input.values[PovButton(1, 4)], 1000);
  EXPECT_EQ(input.values[PlainButton(1)], 1000);
  EXPECT_EQ(input.values[PlainButton(12)], 1000);

  // Everything centred and released; the hat reports its null value.
  const uint8_t second[] = {0x80, 0x80, 0x80, 0x80, 0x08, 0x00, 0x00};
  ASSERT_EQ(::write(writer, second, sizeof second), static_cast<ssize_t>(sizeof second));
  EXPECT_TRUE(reader.Wait(1000));
  EXPECT_EQ(reader.ReadAvailable(decode), 1);
  input = read();
  EXPECT_EQ(input.values, (std::array<int32_t, kVirtualButtonCount>{}));

  // Unplugging ends the stream: the node is closed and logged.
  testing::LogCapture log;
  ::close(writer);
  EXPECT_EQ(reader.ReadAvailable(decode), 0);
  EXPECT_FALSE(reader.IsOpen(0));
  EXPECT_TRUE(reader.Fds().empty());
  EXPECT_TRUE(log.Contains("HidrawReader: " + device.path + " was removed")) << log.Text();
}

TEST_F(FakeHidrawTree, ReaderKeysReportsByDeviceAndLogsNodesItCannotOpen) {
  ASSERT_EQ(::mkfifo(NodePath("hidraw0").c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo(NodePath("hidraw1").c_str(), 0600), 0);
  HidrawReader reader;
  ASSERT_TRUE(reader.Open(7, NodePath("hidraw0")));
  ASSERT_TRUE(reader.Open(3, NodePath("hidraw1")));
  ASSERT_TRUE(reader.Open(3, NodePath("hidraw1")));  // reopening replaces
  EXPECT_EQ(reader.Fds().size(), 2u);
  const int a = ::open(NodePath("hidraw0").c_str(), O_WRONLY | O_NONBLOCK);
  const int b = ::open(NodePath("hidraw1").c_str(), O_WRONLY | O_NONBLOCK);
  ASSERT_GE(a, 0);
  ASSERT_GE(b, 0);
  ASSERT_EQ(::write(b, "\x02\x03", 2), 2);
  ASSERT_EQ(::write(a, "\x01", 1), 1);
  std::map<int, Bytes> received;
  EXPECT_EQ(reader.ReadAvailable([&](int key, std::span<const uint8_t> report) {
    received[key].assign(report.begin(), report.end());
  }),
            2);
  EXPECT_EQ(received, (std::map<int, Bytes>{{3, {0x02, 0x03}}, {7, {0x01}}}));
  ::close(a);
  ::close(b);

  testing::LogCapture log;
  EXPECT_FALSE(reader.Open(9, NodePath("hidraw9")));
  EXPECT_FALSE(reader.IsOpen(9));
  EXPECT_TRUE(log.Contains("HidrawReader: Cannot open " + NodePath("hidraw9") + " for reading"));
  EXPECT_TRUE(log.Contains("No such file or directory"));
}

}  // namespace
}  // namespace brevanto
