#include "platform/linux/hid/HidrawEnumerator.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <utility>

#include "core/log/Logger.h"

namespace brevanto {
namespace {

constexpr uint16_t kMicrosoftVendorId = 0x045E;

std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return text;
}

// A sysfs attribute without its line end.
std::string ReadAttribute(const std::string& path) {
  std::string text = ReadFile(path).value_or("");
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

struct Uevent {
  bool hasId = false;
  unsigned bus = 0;
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  std::string name;
  std::string uniqueId;
};

// HID_ID=<bus>:<vendor>:<product> in hexadecimal; HID_NAME=<product name>;
// HID_UNIQ=<serial number or radio address>, empty when the device has none.
Uevent ParseUevent(const std::string& text) {
  Uevent result;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind("HID_ID=", 0) == 0) {
      unsigned bus = 0;
      unsigned long vendor = 0;
      unsigned long product = 0;
      if (std::sscanf(line.c_str() + 7, "%x:%lx:%lx", &bus, &vendor, &product) == 3 &&
          vendor <= 0xFFFF && product <= 0xFFFF) {
        result.hasId = true;
        result.bus = bus;
        result.vendorId = static_cast<uint16_t>(vendor);
        result.productId = static_cast<uint16_t>(product);
      }
    } else if (line.rfind("HID_NAME=", 0) == 0) {
      result.name = line.substr(9);
    } else if (line.rfind("HID_UNIQ=", 0) == 0) {
      result.uniqueId = line.substr(9);
    }
  }
  return result;
}

// The interface number when the folder is a USB interface
// (<port>:<configuration>.<interface>), else "".
std::string UsbInterfaceNumber(const std::filesystem::path& folder) {
  const std::string name = folder.filename().string();
  const std::size_t colon = name.rfind(':');
  const std::size_t dot = name.rfind('.');
  if (colon == std::string::npos || dot == std::string::npos || dot < colon ||
      dot + 1 == name.size()) {
    return {};
  }
  const std::string number = name.substr(dot + 1);
  if (number.find_first_not_of("0123456789") != std::string::npos) return {};
  return number;
}

// The folder above the HID device, relative to the sysfs root (which is two
// levels above the class folder); empty when the link cannot be followed.
std::filesystem::path ParentFolder(const std::string& sysDevice, const std::string& classDir) {
  std::error_code error;
  const std::filesystem::path hidFolder = std::filesystem::canonical(sysDevice, error);
  if (error || !hidFolder.has_parent_path()) return {};
  const std::filesystem::path root =
      std::filesystem::canonical(std::filesystem::path(classDir) / "../..", error);
  if (error) return hidFolder.parent_path();
  return hidFolder.parent_path().lexically_relative(root);
}

// The record identity of a controller: bus, vendor and product, then its
// serial number when it has one (with the interface number, so that two game
// controller interfaces of one device differ), else the sysfs folder it sits
// in below the USB port, which the same port gives again after re-plugging.
// Its fixed part alone is longer than the forms other interfaces use.
std::string Identity(const Uevent& uevent, const std::string& serial,
                     const std::filesystem::path& parent, const std::string& node) {
  char text[64];
  std::snprintf(text, sizeof text, "HID:bus=%04X,vendor=%04X,product=%04X,", uevent.bus,
                uevent.vendorId, uevent.productId);
  std::string identity = text;
  if (!serial.empty()) {
    identity += "serial=" + serial;
    const std::string interface = UsbInterfaceNumber(parent);
    if (!interface.empty() && interface != "0") identity += ",interface=" + interface;
  } else if (!parent.empty()) {
    identity += "port=" + parent.string();
  } else {
    identity += "node=" + node;
  }
  return identity;
}

// The node's number, so that hidraw10 comes after hidraw9.
long NodeNumber(const std::string& name) {
  return std::strtol(name.c_str() + 6, nullptr, 10);
}

// The kernel hands out the descriptor through the node when sysfs lacks it.
std::optional<std::vector<uint8_t>> DescriptorFromNode(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::optional<std::vector<uint8_t>> result;
  int size = 0;
  hidraw_report_descriptor descriptor{};
  if (::ioctl(fd, HIDIOCGRDESCSIZE, &size) == 0 && size > 0 && size <= HID_MAX_DESCRIPTOR_SIZE) {
    descriptor.size = static_cast<uint32_t>(size);
    if (::ioctl(fd, HIDIOCGRDESC, &descriptor) == 0) {
      result.emplace(descriptor.value, descriptor.value + size);
    }
  }
  const int error = errno;
  ::close(fd);
  errno = error;
  return result;
}

}  // namespace

HidrawEnumerator::HidrawEnumerator(std::string classDir, std::string devDir)
    : classDir_(std::move(classDir)), devDir_(std::move(devDir)) {}

bool HidrawEnumerator::Load() {
  std::error_code error;
  if (std::filesystem::is_directory(classDir_, error)) return true;
  LOG_ERROR("LoadHid: %s is missing; HID controllers cannot be read", classDir_.c_str());
  return false;
}

bool HidrawEnumerator::Enumerate(std::vector<HidDevice>& out) {
  out.clear();
  std::vector<std::string> names;
  std::error_code error;
  for (std::filesystem::directory_iterator it(classDir_, error), end; !error && it != end;
       it.increment(error)) {
    std::string name = it->path().filename().string();
    if (name.rfind("hidraw", 0) == 0) names.push_back(std::move(name));
  }
  if (error) {
    LOG_ERROR("DetectHid: Cannot list %s", classDir_.c_str());
    Logger::Instance().Write(LogLevel::Error, error.message());
    return false;
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const long na = NodeNumber(a);
    const long nb = NodeNumber(b);
    return na != nb ? na < nb : a < b;
  });
  std::set<std::string> unreadable;
  for (std::size_t i = 0; i < names.size(); ++i) {
    HidDevice device;
    if (Describe(names[i], static_cast<int>(i), device, unreadable)) {
      out.push_back(std::move(device));
    }
  }
  unreadable_ = std::move(unreadable);
  return true;
}

bool HidrawEnumerator::Describe(const std::string& name, int position, HidDevice& device,
                                std::set<std::string>& unreadable) const {
  const std::string sysDevice = classDir_ + "/" + name + "/device";
  device.listPosition = position;
  device.path = devDir_ + "/" + name;

  const Uevent uevent = ParseUevent(ReadFile(sysDevice + "/uevent").value_or(""));
  if (!uevent.hasId) {
    LOG_ERROR("DetectHid: %s has no HID_ID in its uevent; ignored", device.path.c_str());
    return false;
  }
  device.vendorId = uevent.vendorId;
  device.productId = uevent.productId;
  std::string serial = uevent.uniqueId;
  if (serial.empty()) serial = ReadAttribute(sysDevice + "/../../serial");
  device.identity = Identity(uevent, serial, ParentFolder(sysDevice, classDir_), device.path);

  std::optional<std::string> sysDescriptor = ReadFile(sysDevice + "/report_descriptor");
  std::vector<uint8_t> bytes;
  if (sysDescriptor && !sysDescriptor->empty()) {
    bytes.assign(sysDescriptor->begin(), sysDescriptor->end());
  } else if (auto fromNode = DescriptorFromNode(device.path)) {
    bytes = std::move(*fromNode);
  } else {
    LOG_ERROR("DetectHid: Cannot read the report descriptor of %s; ignored", device.path.c_str());
    LOG_SYSTEM_ERROR();
    return false;
  }
  if (!ParseHidDescriptor(bytes, device.descriptor)) {
    LOG_ERROR("DetectHid: The report descriptor of %s is malformed; ignored", device.path.c_str());
    return false;
  }
  if (!device.descriptor.IsGameController()) return false;

  LOG_INFO(
      "Detected a HID controller[%d]: VendorId=0x%04X, ProductId=0x%04X, UsagePage=%d, "
      "Usage=%d, Path=%s",
      position, device.vendorId, device.productId, device.descriptor.usagePage,
      device.descriptor.usage, device.path.c_str());

  device.manufacturer = "General";
  device.productName = device.descriptor.usage == kHidUsageGamepad ? "Gamepad" : "Joystick";
  // USB devices give their own strings two levels up (HID device, USB
  // interface, USB device); Bluetooth ones have no such attributes, and the
  // kernel's HID name (maker and product run together for USB) is used.
  if (const std::string product = ReadAttribute(sysDevice + "/../../product"); !product.empty()) {
    device.productName = product;
  } else if (!uevent.name.empty()) {
    device.productName = uevent.name;
  }
  const std::string manufacturer = ReadAttribute(sysDevice + "/../../manufacturer");
  if (!manufacturer.empty()) {
    device.manufacturer = manufacturer;
  } else if ((device.vendorId | 0x0400) == kMicrosoftVendorId) {
    device.manufacturer = "Microsoft";
    device.microsoft = true;
  }

  const int fd = ::open(device.path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  device.readable = fd >= 0;
  if (fd >= 0) {
    ::close(fd);
  } else if (unreadable.insert(device.path).second && !unreadable_.contains(device.path)) {
    // Said once while the node stays unreadable, not at every detection.
    LOG_ERROR(
        "DetectHid: Cannot open %s for reading; the controller is not read (see docs/hid.md, "
        "\"Granting read access\")",
        device.path.c_str());
    LOG_SYSTEM_ERROR();
  }

  device.capabilities = ReadHidCapabilities(device.descriptor);
  return true;
}

}  // namespace brevanto
