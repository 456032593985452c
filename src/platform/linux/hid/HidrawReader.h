#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "core/input/HidDescriptor.h"

namespace brevanto {

// Reads input reports from open hidraw nodes without ever blocking, for the
// UI thread's event loop or a reader thread. Each node is opened under a key
// of the caller's choosing (the HID index) that comes back with its reports.
class HidrawReader {
 public:
  using ReportHandler = std::function<void(int key, std::span<const uint8_t> report)>;

  HidrawReader() = default;
  HidrawReader(const HidrawReader&) = delete;
  HidrawReader& operator=(const HidrawReader&) = delete;
  ~HidrawReader();

  // Opens the node for non-blocking reading; a node already open under the
  // key is closed first. Logs and returns false when it cannot be opened.
  bool Open(int key, const std::string& path);
  void Close(int key);
  void CloseAll();
  bool IsOpen(int key) const;

  // The open descriptors, for an event loop to watch.
  std::vector<int> Fds() const;
  // Waits up to timeoutMs for a report on any open node.
  bool Wait(int timeoutMs) const;

  // Hands every waiting report of every open node to the handler, in arrival
  // order per node. A node that has gone away is closed with a log line.
  // Returns the number of reports handed over. The handler must not open or
  // close nodes; the report it gets is valid only during the call.
  int ReadAvailable(const ReportHandler& handler);

 private:
  struct Node {
    int key;
    int fd;
    std::string path;
  };
  void CloseNode(std::size_t index);

  std::vector<Node> nodes_;
  std::array<uint8_t, kHidMaxReportBytes> buffer_{};
};

}  // namespace brevanto
