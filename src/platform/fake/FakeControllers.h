#pragma once

#include <array>
#include <optional>
#include <vector>

#include "core/ports/HidSource.h"
#include "core/ports/JoystickSource.h"
#include "core/ports/PadSource.h"
#include "core/ports/Rumble.h"

namespace brevanto {

// In-memory controllers for detection and back-end tests: what is attached is
// set directly, and every call the back ends make is visible.

class FakePadSource final : public PadSource {
 public:
  struct Pad {
    XInputGamepadState state;
    int result = kPadOk;  // what GetState answers
    std::optional<PadCapabilities> capabilities;
  };

  bool available = true;
  std::array<std::optional<Pad>, kMaxUsers> pads;
  int refreshCount = 0;
  int releaseCount = 0;

  bool Init() override { return available; }
  void Refresh() override { ++refreshCount; }
  int GetState(int userIndex, XInputGamepadState& state) override;
  bool GetCapabilities(int userIndex, PadCapabilities& capabilities) override;
  void Release() override { ++releaseCount; }
};

class FakeRumble final : public Rumble {
 public:
  struct Call {
    int userIndex;
    uint16_t left;
    uint16_t right;
    friend bool operator==(const Call&, const Call&) = default;
  };

  bool available = true;
  // Whether a pad takes the speeds (false: no pad at user 0).
  bool padTakes = true;
  std::vector<Call> calls;

  bool Available() const override { return available; }
  bool SetMotors(int userIndex, uint16_t left, uint16_t right) override {
    calls.push_back({userIndex, left, right});
    return padTakes;
  }
};

class FakeJoystickSource final : public JoystickSource {
 public:
  struct Device {
    JoystickInfo info;
    DirectInputState state;
    bool opens = true;
  };
  struct Settings {
    int deadZone = 0;
    int saturation = 10000;
  };

  bool available = true;
  std::vector<Device> attached;
  // Back-end index -> position in attached, for the devices opened.
  std::array<int, 50> opened{};
  std::array<Settings, 50> settings{};
  int releaseCount = 0;

  FakeJoystickSource() { opened.fill(-1); }

  // A generic controller with the given axes present and a distinct GUID.
  static JoystickInfo Info(int number, uint16_t vendorId, uint16_t productId,
                           std::initializer_list<int> axes);

  bool Init() override { return available; }
  std::vector<JoystickInfo> Enumerate() override;
  bool Open(std::size_t position, int index) override;
  void Configure(int index, int deadZone, int saturation) override;
  bool Read(int index, DirectInputState& state) override;
  void Release() override;
};

class FakeHidSource final : public HidSource {
 public:
  bool loads = true;
  bool enumerates = true;
  std::vector<HidDevice> devices;

  static HidDevice Device(const std::string& path, uint16_t vendorId, uint16_t productId,
                          int numAxes, int numPovs, int numButtons);

  bool Load() override { return loads; }
  bool Enumerate(std::vector<HidDevice>& out) override {
    if (!enumerates) return false;
    out = devices;
    return true;
  }
  void ReadDevices(std::span<const HidDevice> list) override {
    reading.clear();
    for (const HidDevice& device : list) reading.push_back(device.path);
    ++readDeviceCalls;
  }

  // The paths of the devices last handed over for reading, by HID index.
  std::vector<std::string> reading;
  int readDeviceCalls = 0;
};

}  // namespace brevanto
