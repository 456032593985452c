#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "core/input/HidInput.h"
#include "platform/linux/hid/HidrawEnumerator.h"
#include "platform/linux/hid/HidrawReader.h"
#include "platform/linux/hid/HidrawWatcher.h"
#include "core/ports/HidSource.h"

namespace brevanto {

class DeviceDetection;

// The HID controllers of the system through hidraw. Once loaded, a reader
// thread of its own waits on the nodes of the controllers detection chose
// for reading and on the device folder: every input report is decoded into
// the state table at the controller's HID index, which the processing cycle
// reads, and a node coming or going asks for a re-detection. The program only
// creates the back end, connects it to detection and loads it through
// detection's initialisation; no event loop is involved.
class HidrawBackend final : public HidSource {
 public:
  explicit HidrawBackend(std::string classDir = "/sys/class/hidraw", std::string devDir = "/dev");
  HidrawBackend(const HidrawBackend&) = delete;
  HidrawBackend& operator=(const HidrawBackend&) = delete;
  // Stops the reader thread.
  ~HidrawBackend() override;

  // Hands the decoded states to detection's reads and has a node coming or
  // going request a re-detection. Call before Load; detection must stay until
  // the back end is unloaded or destroyed.
  void Connect(DeviceDetection& detection);
  // Called on the reader thread when hidraw nodes came or went; it must be
  // safe to call from any thread. Set before Load.
  void SetDeviceChangeCallback(std::function<void()> callback);

  // Starts watching the device folder and the reader thread. False (logged)
  // when the kernel has no hidraw support or the folder cannot be watched;
  // the HID modes are then unavailable. Loading again is harmless.
  bool Load() override;
  bool Enumerate(std::vector<HidDevice>& out) override;
  // Reopens the nodes to read; runs on whichever thread detects, while the
  // reader thread waits.
  void ReadDevices(std::span<const HidDevice> devices) override;
  // Stops the reader thread and closes every node. Returns promptly even
  // while the thread waits for reports.
  void Unload();

  bool Loaded() const { return thread_.joinable(); }
  const HidStateTable& States() const { return states_; }
  // Input reports decoded so far.
  uint64_t ReportsDecoded() const { return decoded_.load(std::memory_order_acquire); }

 private:
  void Run();
  void Wake();

  HidrawEnumerator enumerator_;
  HidStateTable states_;
  std::function<void()> onDeviceChange_;
  HidrawWatcher watcher_;
  int wakeFd_ = -1;
  std::atomic<bool> stopping_{false};
  std::thread thread_;

  // Held by the reader thread while it reads and decodes, and by ReadDevices
  // while it swaps the nodes, so no report is decoded with the wrong
  // descriptor or into a table being reset.
  std::mutex mutex_;
  HidrawReader reader_;
  std::vector<HidDescriptor> descriptors_;  // by HID index
  std::atomic<uint64_t> decoded_{0};
};

}  // namespace brevanto
