#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <span>

#include "core/input/DeviceInput.h"
#include "core/input/HidDescriptor.h"
#include "core/input/StickConversion.h"
#include "core/input/VirtualButton.h"

namespace brevanto {

// The last decoded state of one HID controller.
struct HidState {
  // X, Y, Z, Rx, Ry, Rz, Slider, Dial at 0..7 in -1000..1000; Accelerator and
  // Brake at 6 and 7 in 0..1000.
  std::array<int32_t, kAxisCount> axes{};
  // 0 centred, 1..8 up, up-right, right, down-right, down, down-left, left,
  // up-left; other values (a hat's null value) are no direction.
  int32_t hat = 0;
  // Button n counted from the first button usage of the device.
  std::array<bool, kPlainButtonCount> buttons{};
};

// Updates the state from one input report. Only the fields this report
// carries change: a device that spreads its controls over several report ids
// keeps the others. Axis widths other than 8, 10 and 16 bits read as 0.
void DecodeHidReport(const HidDescriptor& descriptor, std::span<const uint8_t> report,
                     HidState& state);

// The profile and device settings one read needs.
struct HidReadOptions {
  std::array<int, kAxisCount> axisMapping{0, 1, 2, 3, 4, 5, 6, 7};
  int analogDeadZone = 1000;  // the device's AnalogDeadZone, 0..10000
  StickOptions stick1;        // Threshold, UseDiagonalInput
  StickOptions stick2;        // Threshold2, UseDiagonalInput2
  bool usePov8Way = false;
  int numberOfButtons = 32;
  bool xboxLayout = false;
};

// Turns a state into virtual button values and mapped axes. lastAnalog is the
// device's live axis display (value / 20 per physical axis); displayChanged
// is set when an entry of it changes.
void ReadHid(const HidState& state, const HidReadOptions& options, std::span<int32_t> lastAnalog,
             DeviceInput& input, bool& displayChanged);

// One state per HID index. Reports are decoded on the UI thread and read by the
// processing thread without a lock: each report is decoded aside and then
// published field by field, so a read sees old or new values but never a
// state cleared halfway through decoding.
class HidStateTable {
 public:
  static constexpr int kSize = kMaxJoysticks;

  // The number of devices detection registered for reading; their entries
  // start cleared.
  void Reset(int count);
  int Count() const { return count_.load(std::memory_order_acquire); }

  void Decode(int index, const HidDescriptor& descriptor, std::span<const uint8_t> report);
  HidState Snapshot(int index) const;

  // Returns -1 when index is not a registered device, else reads it and
  // returns 0.
  int Read(int index, const HidReadOptions& options, std::span<int32_t> lastAnalog,
           DeviceInput& input, bool& displayChanged) const;

 private:
  struct Entry {
    std::array<std::atomic<int32_t>, kAxisCount> axes{};
    std::atomic<int32_t> hat{0};
    std::array<std::atomic<bool>, kPlainButtonCount> buttons{};
  };
  void Publish(int index, const HidState& state);

  std::array<Entry, kSize> entries_{};
  std::atomic<int> count_{0};
};

}  // namespace brevanto
