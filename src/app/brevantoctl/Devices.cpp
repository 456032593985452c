// brevantoctl devices: detects the controllers the way the program does and
// lists them with their joystick slots.

#include "app/brevantoctl/Devices.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "core/device/DeviceConfigManager.h"
#include "core/input/DirectInputBackend.h"
#include "core/input/HidDetection.h"
#include "core/input/XInputBackend.h"
#include "core/processing/DeviceDetection.h"
#include "core/processing/TimeBase.h"
#include "platform/linux/hid/HidrawBackend.h"
#include "platform/linux/sdl/SdlContext.h"
#include "platform/linux/sdl/SdlEventPump.h"
#include "platform/linux/sdl/SdlJoystickSource.h"
#include "platform/linux/sdl/SdlPadSource.h"
#include "platform/linux/sdl/SdlRumble.h"
#include "platform/linux/sdl/VirtualPadDriver.h"
#include "core/ports/MessageSink.h"

namespace brevanto::ctl {
namespace {

constexpr const char* kUsage =
    "usage: brevantoctl devices [--mode=N] [--virtual-pad=SCRIPT]\n"
    "  --mode=N              input API mode 0..4 (default 2)\n"
    "  --virtual-pad=SCRIPT  attach scripted virtual controllers first (testing aid)\n";

// Nobody listens to the device-change message here.
class DiscardingSink final : public MessageSink {
 public:
  bool Post(uint32_t, intptr_t, intptr_t) override { return true; }
};

const char* KindText(InterfaceKind kind) {
  switch (kind) {
    case InterfaceKind::XInput:
      return "XInput";
    case InterfaceKind::DirectInput:
      return "DirectInput";
    case InterfaceKind::Hid:
      return "HID";
  }
  return "?";
}

bool ParseMode(std::string_view text, int& mode) {
  if (text.size() != 1 || text[0] < '0' || text[0] > '4') return false;
  mode = text[0] - '0';
  return true;
}

}  // namespace

int RunDevices(int argc, char** argv) {
  int mode = kDefaultApiMode;
  std::string script;
  for (int i = 0; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (arg.starts_with("--mode=")) {
      if (!ParseMode(arg.substr(7), mode)) {
        std::fprintf(stderr, "brevantoctl devices: bad mode '%s'\n%s", argv[i] + 7, kUsage);
        return 2;
      }
    } else if (arg.starts_with("--virtual-pad=")) {
      script = arg.substr(14);
    } else {
      std::fprintf(stderr, "brevantoctl devices: unknown argument '%s'\n%s", argv[i], kUsage);
      return 2;
    }
  }

  SdlContext sdl;
  SdlPadSource pads(sdl);
  SdlRumble rumble(sdl, pads);
  SdlJoystickSource joysticks(sdl);
  HidrawBackend hidraw;
  DeviceConfigManager records;
  HidDetection hid(hidraw, records);
  XInputBackend xinput(pads, rumble, records);
  DirectInputBackend directInput(joysticks, records, xinput);
  DiscardingSink sink;
  DeviceDetection detection(records, hid, xinput, directInput, sink);
  detection.SetApiMode(mode);

  SdlEventPump pump(sdl, [&detection] { detection.RequestDetection(); });
  std::unique_ptr<VirtualPadDriver> virtualPads;
  if (!script.empty()) {
    if (!sdl.Init()) {
      std::fprintf(stderr, "brevantoctl devices: SDL cannot be initialised\n");
      return 1;
    }
    std::string error;
    virtualPads = VirtualPadDriver::FromFile(script, pump, TimerPeriodMs(0), error);
    if (!virtualPads) {
      std::fprintf(stderr, "brevantoctl devices: %s\n", error.c_str());
      return 1;
    }
    // SDL takes the new controllers in with its next update.
    pump.Pump();
  }

  if (!detection.InitJoysticks()) {
    std::fprintf(stderr, "brevantoctl devices: controllers cannot be read on this system\n");
    return 1;
  }

  std::printf("%-5s %-11s %-38s %-32s %4s %4s %7s %4s\n", "Slot", "Interface", "GUID", "Name",
              "Type", "Axes", "Buttons", "Hats");
  for (int i = 0; i < detection.DeviceCount(); ++i) {
    const TDeviceConfig& d = *detection.Device(i);
    const std::string slot = d.assignedSlot >= 0 ? std::to_string(d.assignedSlot + 1) : "-";
    std::printf("%-5s %-11s %-38s %-32s %4d %4d %7d %4d\n", slot.c_str(), KindText(d.interfaceKind),
                d.GUID.c_str(), d.DisplayName().c_str(), d.deviceType, d.numAxes, d.numButtons,
                d.numPovs);
  }
  std::printf("%d controller(s)\n", detection.DeviceCount());
  detection.ReleaseJoysticks();
  return 0;
}

}  // namespace brevanto::ctl
