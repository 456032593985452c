#pragma once

#include <array>
#include <atomic>

#include "core/input/SlotState.h"
#include "core/input/VirtualButton.h"
#include "core/processing/InputDevices.h"

namespace brevanto {

class DeviceConfigManager;
class DirectInputBackend;
class HidDetection;
class HidStateTable;
class MessageSink;
class ProcessingTimer;
class TDeviceConfig;
class XInputBackend;

// Input API modes (the XInputSupport setting): which back ends detect and read.
//   0 DirectInput only            1 XInput only
//   2 XInput and DirectInput      3 HID only
//   4 HID, XInput and DirectInput
inline constexpr int kDefaultApiMode = 2;

// Brings the three back ends up, detects the attached controllers through
// them (HID first, then XInput, then DirectInput), keeps the device array and
// gives every device a joystick slot, preferring the one its record asks for.
//
// Detection runs on the user-interface thread or, when the system reported a
// change, inside the processing cycle; it holds the processing lock
// throughout, so no cycle sees the device array half rebuilt. The cycle reads
// the devices through it.
class DeviceDetection final : public InputDevices {
 public:
  DeviceDetection(DeviceConfigManager& records, HidDetection& hid, XInputBackend& xinput,
                  DirectInputBackend& directInput, MessageSink& sink);

  // The lock that detection holds; none in tests that run no cycle.
  void SetProcessingTimer(ProcessingTimer* timer) { timer_ = timer; }
  // The cycle's slot states, whose highlight detection clears.
  void SetSlotStates(SlotStates* states) { slots_ = states; }
  // The decoded reports of the HID controllers; without it they read nothing.
  void SetHidStates(const HidStateTable* states) { hidStates_ = states; }

  // The XInputSupport setting. InitJoysticks may fall back to mode 2; the
  // caller stores ApiMode() back into the settings afterwards.
  void SetApiMode(int mode) { apiMode_ = mode; }
  int ApiMode() const { return apiMode_; }

  // Initialises the back ends and detects. False when the DirectInput side
  // cannot be brought up: the program cannot read controllers then.
  bool InitJoysticks();
  // Rebuilds the device array and the slot map; posts WM_BRV_DEVICES_CHANGED
  // when the count changed or forceNotify is set.
  void DetectJoysticks(bool forceNotify) override;
  // Releases every back end's devices (shutdown, suspend).
  void ReleaseJoysticks();

  // Set when the system reports controllers coming or going; the next cycle
  // re-detects. Any thread may set it.
  void RequestDetection() { deviceChangePending_.store(true, std::memory_order_relaxed); }
  bool DeviceChangePending() const override {
    return deviceChangePending_.load(std::memory_order_relaxed);
  }

  int DeviceCount() const override { return total_; }
  int HidCount() const { return hidCount_; }
  int XInputCount() const { return xinputCount_; }
  int DirectInputCount() const { return directInputCount_; }
  // The device at this array index, or nullptr.
  TDeviceConfig* Device(int index) const;
  // The array index of the device driving the slot, or -1.
  int SlotDevice(int slot) const override;
  TDeviceConfig* DeviceInSlot(int slot) const { return Device(SlotDevice(slot)); }
  // Reads the device at an array index through the back end that found it.
  int Read(int device, const ReadOptions& options, DeviceInput& input,
           bool& displayChanged) override;

 private:
  void AssignSlots();
  void Assign(int slot, int device);

  DeviceConfigManager& records_;
  HidDetection& hid_;
  XInputBackend& xinput_;
  DirectInputBackend& directInput_;
  MessageSink& sink_;
  ProcessingTimer* timer_ = nullptr;
  SlotStates* slots_ = nullptr;
  const HidStateTable* hidStates_ = nullptr;

  int apiMode_ = kDefaultApiMode;
  std::atomic<bool> deviceChangePending_{false};
  std::array<TDeviceConfig*, kMaxJoysticks> devices_{};
  std::array<int, kMaxJoysticks> slotMap_{};
  int total_ = 0;
  int hidCount_ = 0;
  int xinputCount_ = 0;
  int directInputCount_ = 0;
};

}  // namespace brevanto
