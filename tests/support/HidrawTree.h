#pragma once

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace brevanto::testing {

// A sysfs-like tree (class/hidraw/<node>/device linking into devices/...) and
// a device folder whose nodes are FIFOs a test writes reports into, under a
// temporary folder removed again at the end.
class HidrawTree {
 public:
  enum class Node { Fifo, Socket };

  struct Device {
    std::string name;
    std::string hidId;
    std::string hidName;
    const std::vector<uint8_t>* descriptor = nullptr;  // nullptr: sysfs has none
    std::string manufacturer;                          // empty: no USB manufacturer attribute
    Node node = Node::Fifo;
    std::string product{};  // empty: no USB product attribute
    std::string serial{};   // HID_UNIQ; empty: none
    std::string port{};     // the USB device's folder below devices; empty: usb<name>/1-1
    std::string interface = "1-1:1.0";  // the USB interface's folder
  };

  HidrawTree() {
    // A plain, short name: a parameterised test's name holds a "/", which
    // would make a folder inside the folder (only the inner one would go),
    // and socket node paths must fit the 108 bytes of a socket address.
    static std::atomic<int> counter{0};
    root_ = std::filesystem::temp_directory_path() /
            ("brevanto_hidraw_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(ClassDir());
    std::filesystem::create_directories(DevDir());
  }
  ~HidrawTree() {
    for (int fd : sockets_) ::close(fd);
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  HidrawTree(const HidrawTree&) = delete;
  HidrawTree& operator=(const HidrawTree&) = delete;

  std::string ClassDir() const { return (root_ / "sys/class/hidraw").string(); }
  std::string DevDir() const { return (root_ / "dev").string(); }
  std::string NodePath(const std::string& name) const { return DevDir() + "/" + name; }

  // The folder above the HID device relative to the sysfs root, as the
  // controller's identity names it.
  static std::string Port(const Device& d) { return "devices/" + UsbFolder(d) + "/" + d.interface; }

  void Add(const Device& d) {
    namespace fs = std::filesystem;
    // devices/<port>/<interface>/<hid device>, as a USB controller sits in
    // sysfs; the HID device's number differs at every plug.
    const fs::path usbDevice = root_ / "sys/devices" / UsbFolder(d);
    const fs::path hidDevice =
        usbDevice / d.interface / ("0003:" + d.name + "." + std::to_string(++plugs_));
    fs::create_directories(hidDevice);
    Write(hidDevice / "uevent",
          "DRIVER=hid-generic\nHID_ID=" + d.hidId + "\nHID_NAME=" + d.hidName +
              "\nHID_PHYS=usb-0000:00:14.0-1/input0\nHID_UNIQ=" + d.serial + "\n");
    if (d.descriptor) {
      Write(hidDevice / "report_descriptor",
            std::string(d.descriptor->begin(), d.descriptor->end()));
    }
    if (!d.manufacturer.empty()) Write(usbDevice / "manufacturer", d.manufacturer + "\n");
    if (!d.product.empty()) Write(usbDevice / "product", d.product + "\n");
    hidFolders_[d.name] = hidDevice;
    const fs::path classEntry = fs::path(ClassDir()) / d.name;
    fs::create_directories(classEntry);
    fs::create_directory_symlink(fs::relative(hidDevice, classEntry), classEntry / "device");

    if (d.node == Node::Fifo) {
      ASSERT_EQ(::mkfifo(NodePath(d.name).c_str(), 0600), 0) << std::strerror(errno);
    } else {
      // A socket file cannot be opened, whoever runs the test.
      const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
      sockaddr_un address{};
      address.sun_family = AF_UNIX;
      std::strncpy(address.sun_path, NodePath(d.name).c_str(), sizeof address.sun_path - 1);
      ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
      sockets_.push_back(fd);
    }
  }

  // Unplugs: the class entry, the HID device folder and the node go; the USB
  // port's folder stays.
  void Remove(const std::string& name) {
    namespace fs = std::filesystem;
    if (const auto it = hidFolders_.find(name); it != hidFolders_.end()) {
      fs::remove_all(it->second);
      hidFolders_.erase(it);
    }
    fs::remove_all(fs::path(ClassDir()) / name);
    fs::remove(NodePath(name));
  }

 private:
  static void Write(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }

  static std::string UsbFolder(const Device& d) {
    return d.port.empty() ? "usb" + d.name + "/1-1" : d.port;
  }

  std::filesystem::path root_;
  std::vector<int> sockets_;
  std::map<std::string, std::filesystem::path> hidFolders_;
  int plugs_ = 0;
};

}  // namespace brevanto::testing
